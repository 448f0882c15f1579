// Internal access to the command list of one run, for the exchange unit's lifecycle.
#pragma once

// Empties the queued commands; called when the exchange state is created and released.
void ClearCommandList();
