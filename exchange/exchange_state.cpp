// The exchange unit's state of one run: host parameters and running attributes, reset and released.
#include "exchange/exchange_state.h"

#include "exchange/JwwGaibu.h"
#include "exchange/store/entity_store.h"
#include "exchange/writer/command_list.h"

namespace {
THostParameters gHost;
TAttributeState gAttributes;
std::string gLineScratch;
} // namespace

THostParameters& HostParameters() {
    return gHost;
}
TAttributeState& AttributeState() {
    return gAttributes;
}
std::string& LineScratch() {
    return gLineScratch;
}

void InitExchangeData() {
    gHost = THostParameters{};
    gHost.GroupScale.fill(1);
    gHost.GroupValues.assign(16, 0);
    gHost.GroupNames.assign(16, std::string());
    gHost.LayerValues.assign(256, 0);
    gHost.LayerNames.assign(256, std::string());
    gHost.Points.assign(100, TIndicatedPoint{});

    gAttributes = TAttributeState{};
    gAttributes.Force.fill(true);

    ClearEntityStore();
    ClearCommandList();
}

void FreeExchangeData() {
    // Swapping with empty containers gives their memory back, which clear() does not.
    std::vector<int32_t>().swap(gHost.GroupValues);
    std::vector<std::string>().swap(gHost.GroupNames);
    std::vector<int32_t>().swap(gHost.LayerValues);
    std::vector<std::string>().swap(gHost.LayerNames);
    std::vector<TIndicatedPoint>().swap(gHost.Points);
    std::string().swap(gLineScratch);
    ClearEntityStore();
    ClearCommandList();
}
