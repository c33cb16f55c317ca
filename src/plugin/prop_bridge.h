#pragma once

#include <cstdint>
#include <string>

#include "plugin/prop_plugin.h"

namespace slvn {

struct Client;
class GamePacket;

// The plug-in object, or null when none was created.
PropPlugin* PropObject(Client& client);

// Loads the item plug-in for this table (the user-details message allows it):
// creates the object from plugin/tools/ beside the program when there is
// none, initialises it with the login, reads the box layout. False when it
// is not loaded; Prop_GameDllState tells why (-1 not available, 0 refused).
//
// Every call into the plug-in below goes through one guard: what the library
// throws is reported on stderr, and the plug-in is shut down and not there
// (-1, object released) for the rest of the run.
bool InitGameDll(Client& client);
// Seeds the program's random generator (the treasure boxes draw from it)
// from the clock: at each load of the plug-in and at every key of the chat box.
void SeedRandom(Client& client);
// Shuts an active plug-in down: flag 1 at program end, else 0.
void ShutdownPropPlugin(Client& client, int flag);
// Bytes of the text in code page 936: 2 for a double-byte character, else 1.
int AnsiByteLength(const std::string& text);

// Member calls that need only the object.
void rec_state(Client& client, int kind, bool state, int display_seat = 0);
// One player's details for the plug-in, which then shows the player itself.
// False only when an object refused them; true without an object.
bool SetUserinfo(Client& client, std::string name, std::string account, uint8_t seat_bit,
                 int16_t display_seat, bool credit_nonzero, uint8_t sex, std::string title,
                 std::string picture);
// Member calls made while the plug-in is active.
// The plug-in forgets the player of a display seat.
void ClearUser(Client& client, int16_t display_seat);
// The plug-in's table display starts again from the named file.
void Ainit(Client& client, const std::string& file_name);
// Shows (or closes) a seat's enlarged video; true when the plug-in now shows it.
bool ShowCvVideo(Client& client, int16_t display_seat, bool show);
// Member calls made while the plug-in is active.
void Rec_MSG(Client& client, GamePacket& packet);
void FixBuffPos(Client& client);
void InitShowNext(Client& client, bool boxes_cleared);
// A hand's result is handed to the plug-in.
void InitShowEnd(Client& client);
// The plug-in's own picture of the treasure boxes: opening or opened.
void ShowGif(Client& client, int which, bool opening);
void SetKeyDown(Client& client, int key_code);
void setbankstate(Client& client, int state);
void UpdataMyProp(Client& client, bool state);

// The poll's calls, made while the plug-in is active. How many requests
// wait (0 when not active); one request into the poll's request arguments
// (false when the call was not made or failed); GetScoreInfo's answer into
// the ScoreInfo arrays (0 when not made or failed).
int CheckSendBuff(Client& client);
bool GetSendBuff(Client& client);
int GetScoreInfo(Client& client);

}  // namespace slvn
