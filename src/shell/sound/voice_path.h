#pragma once

#include <string>
#include <string_view>

namespace slvn {

struct Client;

// The recorded voice of display seat `seat` saying `ending` (an action code
// and ".wav", or a tile's digits and ".wav"): VoiceFolder, "v", the seat's
// dialect and voice codes, its sex and voice byte in decimal, then `ending`.
// The codes come from packet text, so only ASCII letters and digits make a
// name; any other code, or a seat outside 0-3, gives "" (no voice).
std::string VoicePath(const Client& client, int seat, std::string_view ending);

// Plays a voice once at full volume when sound is on; "" plays nothing.
void PlayVoice(Client& client, const std::string& path);

}  // namespace slvn
