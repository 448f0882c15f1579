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
    Replace,
    OpenTarget,
    CutTarget,
    WriteTarget,
    FlushTarget,
    RemoveTarget,
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
};

// The system's own file calls, with the row's faults at the steps it names. Handles made by
// CreateNew are the temporary file's; any other is the target's.
class TFaultyFileSystem final : public TFileSystem {
  public:
    explicit TFaultyFileSystem(std::vector<TFaultAt> faults) : Faults(std::move(faults)) {}

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
        return System.SetLength(file, length);
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
        if (const TFaultAt* f = temporary ? Hit(TStep::CloseTemporary) : nullptr)
            return {f->Refusal, f->Code};
        return closed;
    }
    TFileStatus Replace(const fs::path& from, const fs::path& to) override {
        if (const TFaultAt* f = Hit(TStep::Replace)) return {f->Refusal, f->Code};
        return System.Replace(from, to);
    }
    TFileStatus Remove(const fs::path& path) override {
        if (!TemporaryNames.count(path.filename()))
            if (const TFaultAt* f = Hit(TStep::RemoveTarget)) return {f->Refusal, f->Code};
        return System.Remove(path);
    }
    TFileStatus ListFiles(const fs::path& folder, std::vector<TFolderFile>& files) override {
        return System.ListFiles(folder, files);
    }
    void Pause(int) override { ++Pauses; }
    unsigned long ProcessNumber() override { return System.ProcessNumber(); }

    std::map<TStep, int> Calls;
    int Pauses = 0;

  private:
    const TFaultAt* Find(TStep step) const {
        for (const TFaultAt& f : Faults)
            if (f.Step == step) return &f;
        return nullptr;
    }
    const TFaultAt* Hit(TStep step) {
        ++Calls[step];
        return Find(step);
    }
    bool Temporary(TFileHandle file) const { return TemporaryHandles.count(file) > 0; }

    TFileSystem& System = SystemFileSystem();
    std::vector<TFaultAt> Faults;
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

struct TRow {
    const char* Name;
    std::vector<TFaultAt> Faults;
    TLeft Settings;       // sorvel.dat after WriteSettingsFile
    TLeft Drawing;        // JWC_TEMP.TXT after a run that queued commands closes
    int ReplaceTries = 1; // per file, when the temporary file was written
};

const TFaultAt kReplaceDenied{TStep::Replace, TFault::Refuse, kDenied};

const std::vector<TRow>& Rows() {
    static const std::vector<TRow> rows = {
        {"nothing fails", {}, TLeft::New, TLeft::New},
        {"every temporary name is taken: in place",
         {{TStep::CreateTemporary, TFault::Refuse, kNameTaken, TFileRefusal::NameTaken}},
         TLeft::New,
         TLeft::New,
         0},
        {"the temporary file is denied: in place",
         {{TStep::CreateTemporary, TFault::Refuse, kDenied}},
         TLeft::New,
         TLeft::New,
         0},
        {"the temporary file is written in short pieces",
         {{TStep::WriteTemporary, TFault::ShortWrites}},
         TLeft::New,
         TLeft::New},
        {"a write of the temporary file takes nothing",
         {{TStep::WriteTemporary, TFault::WriteOfZero}},
         TLeft::Old,
         TLeft::Gone,
         0},
        {"the disk fills while the temporary file is written",
         {{TStep::WriteTemporary, TFault::BreakOff, kDiskFull}},
         TLeft::Old,
         TLeft::Gone,
         0},
        {"the temporary file cannot be flushed",
         {{TStep::FlushTemporary, TFault::Refuse, kIoError}},
         TLeft::Old,
         TLeft::Gone,
         0},
        {"the temporary file cannot be closed",
         {{TStep::CloseTemporary, TFault::Refuse, kIoError}},
         TLeft::Old,
         TLeft::Gone,
         0},
        {"another program holds the target for a moment: retried, then in place",
         {{TStep::Replace, TFault::Refuse, kHeld, TFileRefusal::Sharing}},
         TLeft::New,
         TLeft::New,
         5},
        {"the replace is denied: at once in place", {kReplaceDenied}, TLeft::New, TLeft::New},
        {"the replace and the in-place open are denied",
         {kReplaceDenied, {TStep::OpenTarget, TFault::Refuse, kDenied}},
         TLeft::Old,
         TLeft::Gone},
        {"the target cannot be cut (another program maps it)",
         {kReplaceDenied, {TStep::CutTarget, TFault::Refuse, kMapped}},
         TLeft::Old,
         TLeft::Gone},
        {"the target cannot be cut nor removed",
         {kReplaceDenied,
          {TStep::CutTarget, TFault::Refuse, kMapped},
          {TStep::RemoveTarget, TFault::Refuse, kDenied}},
         TLeft::Old,
         TLeft::Old},
        {"the in-place write breaks off",
         {kReplaceDenied, {TStep::WriteTarget, TFault::BreakOff, kDiskFull}},
         TLeft::Gone,
         TLeft::Gone},
        {"the in-place write breaks off and the target cannot be removed",
         {kReplaceDenied,
          {TStep::WriteTarget, TFault::BreakOff, kDiskFull},
          {TStep::RemoveTarget, TFault::Refuse, kDenied}},
         TLeft::Damaged,
         TLeft::Hq},
        {"the in-place flush fails",
         {kReplaceDenied, {TStep::FlushTarget, TFault::Refuse, kIoError}},
         TLeft::Gone,
         TLeft::Gone},
    };
    return rows;
}

// The host's file: four points, so OK draws a dimension.
const char kHostFile[] =
    "hq\r\nhk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nhp1 0 0\r\nhp2 100 0\r\nhp3 50 20\r\n"
    "hp4 60 40\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\ncn1\r\n#\r\n";

} // namespace

TEST(WriteFaults, SettingsKeepTheOldFileUnlessTheInPlaceWriteHadBegun) {
    const std::string before = "120\r\n-40\r\n7\r\n11\r\nthe old settings, longer than the new ones\r\n";
    TSettings settings;
    settings.WindowLeft = 5;
    THostParameters host;
    const std::string after = FormatSettings(settings, host);
    for (const TRow& row : Rows()) {
        TScratchFolder folder;
        folder.Write("sorvel.dat", before);
        TFaultyFileSystem faulty(row.Faults);
        bool written = false;
        {
            const TFileSystemOverride use(faulty);
            written = WriteSettingsFile(folder.Path / "sorvel.dat", settings, host);
        }
        const TLeft left = LeftIn(folder.Path / "sorvel.dat", before, after);
        EXPECT_STREQ(Describe(left), Describe(row.Settings)) << row.Name;
        EXPECT_EQ(written, left == TLeft::New) << row.Name;
        EXPECT_EQ(faulty.Calls[TStep::Replace], row.ReplaceTries) << row.Name;
        EXPECT_EQ(faulty.Pauses, std::max(0, row.ReplaceTries - 1)) << row.Name;
        // Nothing of the write is left beside the target.
        const std::vector<std::string> names = NamesIn(folder.Path);
        EXPECT_LE(names.size(), 1u) << row.Name << ": " << (names.empty() ? "" : names.back());
    }
}

// The same rows for the drawing, written as a run closes: the box appears exactly when queued commands
// were lost, with the system's reason; a Cancel says nothing whatever happens.
TEST(WriteFaults, TheDrawingIsWholeOrDrawsNothingAndALossIsSaid) {
    const std::string after = "lc3\r\n0 0 100 0\r\n";
    for (const TRow& row : Rows()) {
        for (const bool drawn : {true, false}) {
            TScratchFolder folder;
            folder.Write("JWC_TEMP.TXT", kHostFile);
            WindowInMemory window(folder.Path);
            TForm1 form(window);
            window.Show();
            if (drawn) {
                AddCommand("lc3");
                AddLine(0, 0, 100, 0);
            }
            TFaultyFileSystem faulty(row.Faults);
            {
                const TFileSystemOverride use(faulty);
                window.Close();
            }
            const std::string name = std::string(row.Name) + (drawn ? ", drawn" : ", cancelled");
            const TLeft left = LeftIn(folder.Path / "JWC_TEMP.TXT", kHostFile, drawn ? after : "hq\r\n");
            if (drawn) {
                EXPECT_STREQ(Describe(left), Describe(row.Drawing)) << name;
            } else {
                // "hq" is the whole answer of a Cancel, so Hq and New are one here.
                EXPECT_TRUE(left == row.Drawing || (left == TLeft::New && row.Drawing == TLeft::Hq)) << name;
            }
            const bool lost = drawn && left != TLeft::New;
            ASSERT_EQ(window.Messages.size(), lost ? 1u : 0u) << name;
            if (lost) {
                const std::string head = "作図データを書き込めませんでした（JWC_TEMP.TXT）。\n";
                const std::string& text = window.Messages[0].Text;
                EXPECT_EQ(text.substr(0, head.size()), head) << name;
                EXPECT_GT(text.size(), head.size()) << name; // the system's reason, never "success"
                EXPECT_EQ(window.Messages[0].Caption, "確認") << name;
            }
            EXPECT_EQ(NamesIn(folder.Path).size(), left == TLeft::Gone ? 0u : 1u) << name;
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
        TFaultyFileSystem faulty({c.Fault});
        const TFileSystemOverride use(faulty);
        const TReplaceResult result = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n");
        EXPECT_FALSE(result) << c.Code;
        EXPECT_FALSE(result.TargetDamaged) << c.Code;
        EXPECT_EQ(result.SystemError, c.Code);
        EXPECT_NE(result.SystemError, 0);
    }
    EXPECT_EQ(folder.Read("sorvel.dat"), "old\r\n");
}
