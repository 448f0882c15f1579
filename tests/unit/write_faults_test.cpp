// Fault injection into the durable writes: each row makes steps of writing sorvel.dat and JWC_TEMP.TXT
// fail, and checks what is left on disk and what the user is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/memory/widgets_in_memory.h"
#include "files/file_system.h"
#include "files/replace_file.h"
#include "test_support.h"
#include "tool/Unit1.h"
#include "tool/settings_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr int kNameTaken = ERROR_FILE_EXISTS;
constexpr int kDenied = ERROR_ACCESS_DENIED;
constexpr int kHeld = ERROR_SHARING_VIOLATION;
constexpr int kDiskFull = ERROR_DISK_FULL;
constexpr int kIoError = ERROR_IO_DEVICE;
constexpr int kMapped = ERROR_USER_MAPPED_FILE;
#else
constexpr int kNameTaken = EEXIST;
constexpr int kDenied = EACCES;
constexpr int kHeld = EBUSY;
constexpr int kDiskFull = ENOSPC;
constexpr int kIoError = EIO;
constexpr int kMapped = ETXTBSY;
#endif

enum class TStep {
    CreateTemporary,
    WriteTemporary,
    FlushTemporary,
    CloseTemporary,
    RemoveTemporary,
    Replace,
    OpenTarget,
    CutTarget,
    RewindTarget,
    WriteTarget,
    FlushTarget,
    CloseTarget,
    RemoveTarget,
    RemoveLeftover, // a temporary of ours that an earlier run left
    TargetReadOnly, // the target carries the read-only mark
    DiskFull,       // no free block: a file cannot grow, by a write or by a new length
};

enum class TFault {
    Refuse,      // the call fails with the fault's code
    ShortWrites, // every write takes at most half of what it is given, and succeeds
    WriteOfZero, // a write succeeds and takes nothing
    BreakOff,    // the first write takes half and succeeds, the second fails; later ones pass
};

struct TFaultAt {
    TStep Step;
    TFault Fault = TFault::Refuse;
    int Code = 0;
    TFileRefusal Refusal = TFileRefusal::Other;
    int UntilMs = 0; // the fault lets go once the write has paused this long; 0: never
};

// The system's own file calls, with the row's faults at the steps it names. Handles made by
// CreateNew are the temporary file's; any other is the target's. Time passes only in Pause.
class TFaultyFileSystem final : public TFileSystem {
  public:
    TFaultyFileSystem(std::vector<TFaultAt> faults, fs::path target)
        : Faults(std::move(faults)), Target(std::move(target)) {}

    TFileStatus CreateNew(const fs::path& path, TFileHandle& file) override {
        if (const TFaultAt* f = Hit(TStep::CreateTemporary)) return {f->Refusal, f->Code};
        const TFileStatus status = System.CreateNew(path, file);
        if (!status.Failed()) {
            TemporaryHandles.insert(file);
            TemporaryNames.insert(path.filename());
        }
        return status;
    }
    TFileStatus OpenForOverwrite(const fs::path& path, TFileHandle& file) override {
        if (const TFaultAt* f = Hit(TStep::OpenTarget)) return {f->Refusal, f->Code};
        return System.OpenForOverwrite(path, file);
    }
    TFileStatus Write(TFileHandle file, std::string_view bytes, size_t& written) override {
        const TStep step = Temporary(file) ? TStep::WriteTemporary : TStep::WriteTarget;
        const int call = ++Calls[step];
        // The target's writes stay within the length set before them; the temporary file grows.
        if (const TFaultAt* f = Find(TStep::DiskFull); f && step == TStep::WriteTemporary)
            return {f->Refusal, f->Code};
        if (const TFaultAt* f = Find(step)) {
            switch (f->Fault) {
            case TFault::Refuse:
                return {f->Refusal, f->Code};
            case TFault::ShortWrites:
                return System.Write(file, bytes.substr(0, std::max<size_t>(1, bytes.size() / 2)), written);
            case TFault::WriteOfZero:
                written = 0;
                return {};
            case TFault::BreakOff:
                if (call == 1)
                    return System.Write(file, bytes.substr(0, std::max<size_t>(1, bytes.size() / 2)),
                                        written);
                if (call == 2) return {f->Refusal, f->Code};
                break;
            }
        }
        return System.Write(file, bytes, written);
    }
    TFileStatus SetLength(TFileHandle file, uint64_t length) override {
        if (const TFaultAt* f = Hit(TStep::CutTarget)) return {f->Refusal, f->Code};
        if (const TFaultAt* f = Find(TStep::DiskFull); f && length > fs::file_size(Target))
            return {f->Refusal, f->Code};
        return System.SetLength(file, length);
    }
    TFileStatus Rewind(TFileHandle file) override {
        if (const TFaultAt* f = Hit(TStep::RewindTarget)) return {f->Refusal, f->Code};
        return System.Rewind(file);
    }
    TFileStatus Flush(TFileHandle file) override {
        if (const TFaultAt* f = Hit(Temporary(file) ? TStep::FlushTemporary : TStep::FlushTarget))
            return {f->Refusal, f->Code};
        return System.Flush(file);
    }
    // Closed all the same: a close that reports a failure still lets go of the handle.
    TFileStatus Close(TFileHandle file) override {
        const bool temporary = Temporary(file);
        TemporaryHandles.erase(file);
        const TFileStatus closed = System.Close(file);
        if (const TFaultAt* f = Hit(temporary ? TStep::CloseTemporary : TStep::CloseTarget))
            return {f->Refusal, f->Code};
        return closed;
    }
    TFileStatus Replace(const fs::path& from, const fs::path& to) override {
        if (const TFaultAt* f = Hit(TStep::Replace)) return {f->Refusal, f->Code};
        return System.Replace(from, to);
    }
    TFileStatus Remove(const fs::path& path) override {
        const TStep step = path.filename() == Target.filename()    ? TStep::RemoveTarget
                           : TemporaryNames.count(path.filename()) ? TStep::RemoveTemporary
                                                                   : TStep::RemoveLeftover;
        if (const TFaultAt* f = Hit(step)) return {f->Refusal, f->Code};
        return System.Remove(path);
    }
    bool ReadOnly(const fs::path& path) override {
        return Find(TStep::TargetReadOnly) != nullptr || System.ReadOnly(path);
    }
    TFileStatus ListFiles(const fs::path& folder, std::vector<TFolderFile>& files) override {
        return System.ListFiles(folder, files);
    }
    void Pause(int milliseconds) override { Clock += milliseconds; }
    unsigned long ProcessNumber() override { return System.ProcessNumber(); }

    std::map<TStep, int> Calls;
    int Clock = 0; // milliseconds paused

  private:
    const TFaultAt* Find(TStep step) const {
        for (const TFaultAt& f : Faults)
            if (f.Step == step && (f.UntilMs == 0 || Clock < f.UntilMs)) return &f;
        return nullptr;
    }
    const TFaultAt* Hit(TStep step) {
        ++Calls[step];
        return Find(step);
    }
    bool Temporary(TFileHandle file) const { return TemporaryHandles.count(file) > 0; }

    TFileSystem& System = SystemFileSystem();
    std::vector<TFaultAt> Faults;
    fs::path Target;
    std::set<TFileHandle> TemporaryHandles;
    std::set<fs::path> TemporaryNames;
};

// What a file holds afterwards.
enum class TLeft {
    New,     // exactly the new bytes
    Old,     // exactly what was there before
    Gone,    // no file
    Hq,      // the bare "hq" that draws nothing
    Damaged, // neither old nor new: the in-place write broke off and the file could not be removed
};

const char* Describe(TLeft left) {
    switch (left) {
    case TLeft::New:
        return "new";
    case TLeft::Old:
        return "old";
    case TLeft::Gone:
        return "gone";
    case TLeft::Hq:
        return "hq";
    case TLeft::Damaged:
        return "damaged";
    }
    return "?";
}

TLeft LeftIn(const fs::path& path, const std::string& before, const std::string& after) {
    if (!fs::exists(path)) return TLeft::Gone;
    const std::string now = ReadWholeFile(path);
    if (now == after) return TLeft::New;
    if (now == before) return TLeft::Old;
    if (now == "hq\r\n") return TLeft::Hq;
    return TLeft::Damaged;
}

// A file put beside the target before the write: "*" stands for the target's name, "%" for the
// other file's. Each is dated that many minutes back; the write must remove it or leave it as it is.
struct TPlanted {
    const char* Name;
    int Minutes;
    bool Stays;
};

struct TRow {
    const char* Name;
    std::vector<TFaultAt> Faults;
    TLeft Settings;   // sorvel.dat after WriteSettingsFile
    TLeft Drawing;    // JWC_TEMP.TXT after a run that queued commands closes
    int WaitedMs = 0; // per file, for a target another program holds
    std::vector<TPlanted> Planted = {};
    bool LongAnswer = false; // the drawing's answer is longer than the host's file
};

// A call that fails with the system's code, from the start or until the write has paused that long.
TFaultAt Fails(TStep step, int code, TFileRefusal refusal = TFileRefusal::Other, int untilMs = 0) {
    return {step, TFault::Refuse, code, refusal, untilMs};
}
// A real file held open by another program: its replace is refused with a denied access.
TFaultAt HeldFor(int milliseconds) {
    return Fails(TStep::Replace, kDenied, TFileRefusal::Denied, milliseconds);
}
const TFaultAt kTemporaryDenied = Fails(TStep::CreateTemporary, kDenied, TFileRefusal::Denied);
const TFaultAt kReplaceDenied = Fails(TStep::Replace, kDenied, TFileRefusal::Denied);
const TFaultAt kNoFreeBlock = Fails(TStep::DiskFull, kDiskFull);
// Our temporary of another run, and files that only look like one: "*" is the target's name, "%" the other
// file's.
const std::vector<TPlanted> kLookAlikes = {{"~memo-1", 60, true},
                                           {"~1a-3", 60, true},
                                           {"sorvel.dat.bak", 60, true},
                                           {"JWC_TEMP.TXT.bak", 60, true},
                                           {"%.tarvel-zz-3.tmp", 60, true},
                                           {"*.tarvel-zz-3.tm", 60, true},
                                           {"*.tarvel-zz-3.tmpx", 60, true},
                                           {"*.tarvel-zz-.tmp", 60, true},
                                           {"*.tarvel-zz-33.tmp", 60, true},
                                           {"*.tarvel_zz-3.tmp", 60, true},
                                           {"*.tarvel-z~-3.tmp", 60, true},
                                           {"*x.tarvel-zz-3.tmp", 60, true},
                                           {"*.tarvel-12345678-3.tmp", 60, true},
                                           {"*.tarvel-zz-3.tmp", 60, false}};
constexpr int kWholeWait = 1000;

const std::vector<TRow>& Rows() {
    using enum TLeft;
    using enum TStep;
    using enum TFileRefusal;
    const TFaultAt noRemoving[] = {kReplaceDenied, Fails(RemoveLeftover, kDenied, Denied),
                                   Fails(RemoveTemporary, kDenied, Denied)};
    // clang-format off
    static const std::vector<TRow> rows = {
        // what goes wrong                                       faults                                                   settings drawing waited
        {"nothing fails",                                        {},                                                      New,     New},
        {"every temporary name is taken: in place",              {Fails(CreateTemporary, kNameTaken, NameTaken)},         New,     New},
        {"the temporary file is denied: in place",               {kTemporaryDenied},                                      New,     New},
        {"the temporary file is written in short pieces",        {{WriteTemporary, TFault::ShortWrites}},                 New,     New},
        {"a write of the temporary file takes nothing",          {{WriteTemporary, TFault::WriteOfZero}},                 Old,     New},
        {"the disk fills while the temporary file is written",   {{WriteTemporary, TFault::BreakOff, kDiskFull}},         Old,     New},
        {"the temporary file cannot be flushed",                 {Fails(FlushTemporary, kIoError)},                       Old,     New},
        {"the temporary file cannot be closed",                  {Fails(CloseTemporary, kIoError)},                       Old,     New},
        {"the temporary file cannot be made for an I/O error",   {Fails(CreateTemporary, kIoError)},                      Old,     New},
        {"an I/O error makes no temporary file, and the in-place write would break off",
                                                                 {Fails(CreateTemporary, kIoError), {WriteTarget, TFault::BreakOff, kDiskFull}},
                                                                                                                          Old,     Gone},
        {"the disk is full, the answer shorter than the host's file", {kNoFreeBlock},                                     Old,     New},
        {"the disk is full, the answer longer than the host's file",  {kNoFreeBlock},                                     Old,     Gone,   0, {}, true},
        {"another program holds the target, sharing reading and writing: waited for, then in place",
                                                                 {kReplaceDenied},                                        New,     New,    kWholeWait},
        {"the target is held for 40 ms",                         {HeldFor(40)},                                           New,     New,    50},
        {"the target is held for 200 ms",                        {HeldFor(200)},                                          New,     New,    200},
        {"the target is held for 900 ms",                        {HeldFor(900)},                                          New,     New,    900},
        {"the replace meets a sharing violation: waited for, then in place",
                                                                 {Fails(Replace, kHeld, Sharing)},                        New,     New,    kWholeWait},
        {"another program holds the target without sharing: nothing gets through",
                                                                 {kReplaceDenied, Fails(OpenTarget, kHeld, Sharing), Fails(RemoveTarget, kHeld, Sharing)},
                                                                                                                          Old,     Old,    kWholeWait},
        {"the in-place open is refused for sharing for 200 ms",  {kTemporaryDenied, Fails(OpenTarget, kHeld, Sharing, 200)}, New,  New,    200},
        {"a read-only target is not waited for",                 {kReplaceDenied, {TargetReadOnly}, Fails(OpenTarget, kDenied, Denied), Fails(RemoveTarget, kDenied, Denied)},
                                                                                                                          Old,     Old},
        {"the replace and the in-place open are denied",         {kReplaceDenied, Fails(OpenTarget, kDenied, Denied)},    Old,     Gone,   kWholeWait},
        {"the target cannot be cut (another program maps it)",  {kTemporaryDenied, Fails(CutTarget, kMapped)},           Old,     Gone},
        {"the target cannot be cut nor removed",                 {kTemporaryDenied, Fails(CutTarget, kMapped), Fails(RemoveTarget, kDenied, Denied)},
                                                                                                                          Old,     Old},
        {"the seek back to the start fails after the cut",       {kTemporaryDenied, Fails(RewindTarget, kIoError)},       Gone,    Gone},
        {"the in-place write breaks off",                        {kTemporaryDenied, {WriteTarget, TFault::BreakOff, kDiskFull}},
                                                                                                                          Gone,    Gone},
        {"the in-place write breaks off and the target cannot be removed",
                                                                 {kTemporaryDenied, {WriteTarget, TFault::BreakOff, kDiskFull}, Fails(RemoveTarget, kDenied, Denied)},
                                                                                                                          Damaged, Hq},
        {"the in-place flush fails",                             {kTemporaryDenied, Fails(FlushTarget, kIoError)},        Gone,    Gone},
        {"the close fails after the in-place write was flushed", {kTemporaryDenied, Fails(CloseTarget, kIoError)},        New,     New},
        {"names like ours stay; a stale temporary of ours goes", {},                                                      New,     New,    0, kLookAlikes},
        {"a folder that lets us make files but not remove them, with a fresh leftover of ours",
                                                                 {std::begin(noRemoving), std::end(noRemoving)},          New,     New,    0, {{"*.tarvel-zz-3.tmp", 0, true}}},
        {"a folder that lets us make files but not remove them, with a stale leftover of ours",
                                                                 {std::begin(noRemoving), std::end(noRemoving)},          New,     New,    0, {{"*.tarvel-zz-3.tmp", 60, true}}},
    };
    // clang-format on
    return rows;
}

// Puts the row's files beside the target, and gives back the names that must be there afterwards
// beside the target itself, each with its content.
std::map<std::string, std::string> Plant(const TScratchFolder& folder, const TRow& row,
                                         const std::string& target, const std::string& other) {
    std::map<std::string, std::string> staying;
    for (const TPlanted& planted : row.Planted) {
        std::string name = planted.Name;
        if (const size_t at = name.find_first_of("*%"); at != std::string::npos)
            name.replace(at, 1, name[at] == '*' ? target : other);
        const std::string content = "planted as " + name;
        folder.Write(name, content);
        fs::last_write_time(folder.Path / name,
                            fs::file_time_type::clock::now() - std::chrono::minutes(planted.Minutes));
        if (planted.Stays) staying[name] = content;
    }
    return staying;
}

// The folder holds the target (unless it is gone) and the planted files that stay, as they were.
void ExpectFolder(const TScratchFolder& folder, const std::string& target, bool targetThere,
                  const std::map<std::string, std::string>& staying, const std::string& name) {
    std::vector<std::string> wanted;
    for (const auto& [file, content] : staying) {
        wanted.push_back(file);
        EXPECT_EQ(folder.Read(file), content) << name;
    }
    if (targetThere) wanted.push_back(target);
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(NamesIn(folder.Path), wanted) << name;
}

// The host's file: four points, so OK draws a dimension.
const char kHostFile[] =
    "hq\r\nhk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nhp1 0 0\r\nhp2 100 0\r\nhp3 50 20\r\n"
    "hp4 60 40\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\ncn1\r\n#\r\n";

} // namespace

TEST(WriteFaults, SettingsKeepTheOldFileUnlessARefusedWriteWentInPlace) {
    const std::string before = "120\r\n-40\r\n7\r\n11\r\nthe old settings, longer than the new ones\r\n";
    TSettings settings;
    settings.WindowLeft = 5;
    THostParameters host;
    const std::string after = FormatSettings(settings, host);
    for (const TRow& row : Rows()) {
        TScratchFolder folder;
        folder.Write("sorvel.dat", before);
        const auto staying = Plant(folder, row, "sorvel.dat", "JWC_TEMP.TXT");
        TFaultyFileSystem faulty(row.Faults, folder.Path / "sorvel.dat");
        bool written = false;
        {
            const TFileSystemOverride use(faulty);
            written = WriteSettingsFile(folder.Path / "sorvel.dat", settings, host);
        }
        const TLeft left = LeftIn(folder.Path / "sorvel.dat", before, after);
        EXPECT_STREQ(Describe(left), Describe(row.Settings)) << row.Name;
        EXPECT_EQ(written, left == TLeft::New) << row.Name;
        EXPECT_EQ(faulty.Clock, row.WaitedMs) << row.Name;
        ExpectFolder(folder, "sorvel.dat", left != TLeft::Gone, staying, row.Name);
    }
}

// The same rows for the drawing, written as a run closes: the box appears exactly when queued commands
// were lost, with the system's reason; a Cancel says nothing whatever happens.
TEST(WriteFaults, TheDrawingIsWholeOrDrawsNothingAndALossIsSaid) {
    for (const TRow& row : Rows()) {
        for (const bool drawn : {true, false}) {
            // "hq" is never longer than the host's file.
            if (row.LongAnswer && !drawn) continue;
            TScratchFolder folder;
            folder.Write("JWC_TEMP.TXT", kHostFile);
            const auto staying = Plant(folder, row, "JWC_TEMP.TXT", "sorvel.dat");
            WindowInMemory window(folder.Path);
            TForm1 form(window);
            window.Show();
            std::string after = "hq\r\n";
            if (drawn && row.LongAnswer) {
                AddCommand(std::string(200, '8'));
                after = std::string(200, '8') + "\r\n";
            } else if (drawn) {
                AddCommand("lc3");
                AddLine(0, 0, 100, 0);
                after = "lc3\r\n0 0 100 0\r\n";
            }
            TFaultyFileSystem faulty(row.Faults, folder.Path / "JWC_TEMP.TXT");
            {
                const TFileSystemOverride use(faulty);
                window.Close();
            }
            const std::string name = std::string(row.Name) + (drawn ? ", drawn" : ", cancelled");
            const TLeft left = LeftIn(folder.Path / "JWC_TEMP.TXT", kHostFile, after);
            if (drawn) {
                EXPECT_STREQ(Describe(left), Describe(row.Drawing)) << name;
            } else {
                // "hq" is the whole answer of a Cancel, so Hq and New are one here.
                EXPECT_TRUE(left == row.Drawing || (left == TLeft::New && row.Drawing == TLeft::Hq)) << name;
            }
            EXPECT_EQ(faulty.Clock, row.WaitedMs) << name;
            const bool lost = drawn && left != TLeft::New;
            ASSERT_EQ(window.Messages.size(), lost ? 1u : 0u) << name;
            if (lost) {
                const std::string head = "作図データを書き込めませんでした（JWC_TEMP.TXT）。\n";
                const std::string& text = window.Messages[0].Text;
                EXPECT_EQ(text.substr(0, head.size()), head) << name;
                EXPECT_GT(text.size(), head.size()) << name; // the system's reason, never "success"
                EXPECT_EQ(window.Messages[0].Caption, "確認") << name;
            }
            ExpectFolder(folder, "JWC_TEMP.TXT", left != TLeft::Gone, staying, name);
        }
    }
}

// A failure always carries a code: the system's, or a generic one where the system gave none.
TEST(WriteFaults, AFailureNeverReadsAsSuccess) {
    TScratchFolder folder;
    folder.Write("sorvel.dat", "old\r\n");
    const struct {
        TFaultAt Fault;
        int Code;
    } cases[] = {
        {{TStep::WriteTemporary, TFault::WriteOfZero}, GenericFileError()},
        {{TStep::WriteTemporary, TFault::BreakOff, kDiskFull}, kDiskFull},
        {{TStep::FlushTemporary, TFault::Refuse, kIoError}, kIoError},
    };
    for (const auto& c : cases) {
        TFaultyFileSystem faulty({c.Fault}, folder.Path / "sorvel.dat");
        const TFileSystemOverride use(faulty);
        const TReplaceResult result =
            ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n", TStake::KeepOld);
        EXPECT_FALSE(result) << c.Code;
        EXPECT_FALSE(result.TargetDamaged) << c.Code;
        EXPECT_EQ(result.SystemError, c.Code);
        EXPECT_NE(result.SystemError, 0);
    }
    EXPECT_EQ(folder.Read("sorvel.dat"), "old\r\n");
}
