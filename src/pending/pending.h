#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/types.h"

namespace slvn {

struct Client;
class GamePacket;

// Every procedure that the program already calls but whose behaviour comes
// with later work is defined in pending.cpp, and nowhere else. Each one
// reports itself here: it is written to stderr once per name and kept in
// Client::not_yet_built, so tests can see that the call was made and nothing
// pretends to have been done.
void NotYetBuilt(Client& client, std::string_view name);

// The SOCKS5 connection to the game server.
void ConnectViaProxy(Client& client);
// The item plug-in places its windows again.
void FixBuffPos(Client& client);
void UnloadVideoZoomWindows(Client& client);

// Leaving the table and resetting the client.
void LeaveTableAndStopVideo(Client& client);
void ResetClientState(Client& client);

// The countdowns, each run once per tick while its gate is on.
void PiaoCountdown(Client& client);
void TurnCountdown(Client& client);
void ReadyCountdown(Client& client);
// The item plug-in: its poll, its connection-state member and its shutdown.
void ItemPoll(Client& client);
void rec_state(Client& client, int what, bool state);
void ShutdownPropPlugin(Client& client, int mode);
// Shows the own camera picture in the own video panel.
void ShowOwnVideo(Client& client, bool capture_on, bool second);
// The notice dialog of another player's exit is unloaded.
void UnloadOtherExitForm(Client& client);
// Loads the hidden reconnect window, which starts the reconnect attempts.
void LoadReconnectForm(Client& client);

// Arms of the command dispatcher; each reads the packet from client.net.
void HandleHandEndRow(Client& client);
void HandleShownHand(Client& client);
void HandleGameStart(Client& client);
void HandleSeatFreed(Client& client);
void HandleQuit(Client& client);
void HandleOutOfCoins(Client& client);
void HandleResultRow(Client& client);
void HandleUserDetails(Client& client);
void HandleUserLeft(Client& client);
void HandleForcedExit(Client& client);
void HandleReadyState(Client& client);
void HandleSeatTiles(Client& client);
void HandleTableSummary(Client& client);

// The item plug-in takes one 272-byte packet.
void Rec_MSG(Client& client, GamePacket& packet);
// The next step of a SOCKS5 negotiation, from the bytes in ProxyBuffer.
void HandleProxyReply(Client& client);
// The speech bubble of a quick phrase: phrase `phrase_number` (1-based) of
// quick-phrase list `list` (1 or 2) beside display seat `seat`.
void ShowSpeakBubble(Client& client, int seat, int list, int phrase_number);

// The main window's later layout steps and handlers.
void LayoutVideoPanels(Client& client);
void LayoutPlayerInfo(Client& client);
// The button bar's click handler (8 exit dialog, 4 hide).
void AnNiu_Click(Client& client, int index);
// Hides the chat-history window, creating it hidden first.
void HideTalkWindow(Client& client);
// The item plug-in forgets the player of display seat `seat`.
void ClearUser(Client& client, int16_t seat);

// A hand's course: the video log-in and camera start (once per hand), the
// video link of the table, the exit dialog closed, the item bar hidden, and
// the spectator's twins of the deal, the discard and the claim.
void LoginVideoServer(Client& client);
void StartLocalVideo(Client& client);
void ConnectTableVideo(Client& client);
void UnloadExitForm(Client& client);
void ClearItemBar(Client& client);
void WatchDrawTiles(Client& client, uint8_t seatBit, uint8_t tileCount,
                    const std::array<int16_t, 4>& words);
void WatchShowDiscard(Client& client, uint8_t seatBit, TileCode tile);
void WatchApplyOperation(Client& client, int16_t operation, uint8_t seatBit,
                         const std::array<TileCode, 3>& tiles);

// Claims and melds
// The hand model applies a claim announced by the server.
void ApplyOperation(Client& client, int16_t operation, uint8_t seatBit,
                    const std::array<TileCode, 3>& tiles);

}  // namespace slvn
