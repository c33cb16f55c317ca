#pragma once

namespace slvn {

struct Client;

// Which handler's boss key hides the table's other windows (the player card,
// chat history, quick phrases, settings, hand list and score sheet), as each
// hides or unloads them differently.
enum class BossKeyVariant { kFromWindow, kFromTable, kFromStrip };
void ApplyBossKeyToWindows(Client& client, BossKeyVariant variant);
// A click on the table: the chat history, quick phrases, score sheet, hand
// list and settings windows are hidden.
void HideFloatingWindows(Client& client);

}  // namespace slvn
