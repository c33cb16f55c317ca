#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/types.h"

namespace slvn {

// The game state that several subsystems read and write directly. Flags are
// bool; everything starts at 0, false or empty, and start-up sets the values
// that have a start value of their own (see StartValues()).
struct Data {
  // --- Login, lobby and connection ---
  bool WatchMode = false;     // a spectator: the launch line does not end in "$"
  std::string LobbyTitle;     // title of the lobby's main window, to find it
  int32_t LobbyWindow = 0;    // handle of the lobby window from the last lookup, 0 not found
  bool LoginPending = false;  // a login or connection is under way; lobby 0x303 gets 0x466
  bool LoggedIn = false;
  bool g_bCanRecon = false;    // a lost connection may be re-established automatically
  bool Reconnected = false;    // leaving then waits 0.8 s instead of 0.4 s
  int32_t RecvIdleCount = 0;   // heartbeat passes without a packet while a hand runs
  uint8_t TimeoutLimit = 0;    // timed-out own turns allowed; 0 switches the limit off
  int16_t CountdownStart = 0;  // seconds given for an own action
  bool AutoPlayOn = false;     // nothing ever switches it on

  // --- Seating ---
  int16_t OtherPlayerCount = 0;  // other players seated at the table, never below 0
  int16_t BatchCount = 0;        // seat names counted; 0 at the fourth
  bool SeatNamesSeen = false;    // seat names came; the seated players' details follow
  // The seated players' user details after the seat names, counted apart from
  // BatchCount so that a table clear between them cannot lose the count.
  int16_t SeatedDetailCount = 0;
  std::array<std::string, 3> TableMateNames;  // account names of display seats 1-3 at game start
  std::array<std::string, 4> SeatVoice;       // each seat's voice code as the seating set it
  int16_t RejoinCount = 0;

  // --- Hand and turn ---
  bool HandRunning = false;  // from the new-hand command until the sheet is shown
  bool HandEnding = false;   // from the first end-of-hand row until the sheet
  int16_t juNum = 0;         // number of the current hand at this table
  bool HandRecordPending = false;
  bool TableCleared = false;   // the table was cleared for the next hand already
  bool GameOver = false;       // the game at the table ended; the start button returns to the lobby
  int16_t ActionState = 0;     // 0 prompt open, 2 own action running, 1 answered, 3 timed-out lock
  bool TurnActed = false;      // the current offer was answered
  bool OwnTurnPrompt = false;  // the last turn prompt was for the own seat
  bool TileClickExpected = false;
  int16_t AllowedClaims = 0;               // claim bits of the own turn prompt, low byte used
  std::array<int16_t, 5> OfferedClaims{};  // 2 where a claim button is offered: 0 chow .. 3 win
  int16_t Countdown = 0;                   // seconds left on the running countdown
  TileCode WildTile = 0;                   // the hand's wild tile, -1 none
  bool PiaoCountdownOn = false;
  bool PiaoChoicePending = false;
  bool LeaveResetPending = false;
  int16_t HandsDealt = 0;
  std::array<double, 4> RunningTotals{};  // each seat's running total since the login
  std::string WebPage1;                   // the page the login reply named for the first web pane

  // --- Table display and window state ---
  float ScaleX = 0;
  float ScaleY = 0;
  std::array<int16_t, 4> TileWidth{};  // working tile size per view, as the last drawer left it
  std::array<int16_t, 4> TileHeight{};
  int16_t LastTileImage = 0;   // tile image placed last, -1 none; the blink slot blinks it
  int16_t PrevBlinkImage = 0;  // tile image the blink slot toggled last, -1 none
  int16_t BlinkCount = 0;
  int16_t ChatBlinkCount = 0;
  bool ClaimBubbleShown = false;
  int16_t ClaimBubbleIndex = 0;      // bubble shown last (display seat - 1)
  bool BossKey = false;              // the boss key hid the client
  std::array<bool, 9> AnNiuState{};  // per button of the button bar; 2 = start pressed
  std::array<bool, 9> AnNiuHover{};
  bool WebPageFailed = false;
  std::array<std::string, 4> SeatWaitText;  // captions of the seat-change notice
  bool SeatChangePending = false;           // a seat was freed while a game ran
  bool ReseatRequested = false;             // second condition of the seat-change screen
  bool ShuffleShown = false;                // the seat-change screen has been shown
  std::string ShufflePage;  // page of the seat-change screen (login text + ".gamead")

  // --- Chat ---
  std::string ChatText;   // the line the next command 19 sends; cleared after packing
  bool ChatGate = false;  // a chat line may be sent now
  int16_t PrivateChatSeat = 0;
  std::string PrivateChatPrefix;
  std::array<int16_t, 2> AltCState{};  // 1 after Alt (0) and after C (1)
  bool ChatHasFocus = false;           // the chat line has the keyboard focus

  // --- Video ---
  bool VideoSetting = false;  // video chat switched on
  bool VideoServerSet = false;
  bool VideoLoggedIn = false;
  bool OwnCaptureOn = false;
  bool OwnVideoRetry = false;
  int16_t OwnVideoRetryTicks = 0;
  std::array<bool, 4> VideoBusy{};                // re-entry guards of the video routines
  std::array<std::vector<uint8_t>, 4> LastFrame;  // last BMP frame: own camera, seats 1-3
  std::array<bool, 4> FirstFrameShown{};          // seats 1-3: a frame opened the panel this hand
  std::array<bool, 4> VideoClosedByUser{};        // seats 1-3: the user switched the video off
  std::array<int16_t, 4> FrameSendCount{};        // slots 1-3: throttle of own frames sent
  int16_t ZoomTarget = 0;                         // zoom window of the pending redraw, 0..3
  std::array<bool, 16> ImCmdHover{};              // toolbar button shows its hover picture

  // --- Settlement and scores ---
  std::array<std::array<int16_t, 81>, 4> ResultRows{};  // command 17 rows by display seat
  int16_t EndRowCount = 0;
  std::array<double, 4> CoinAmounts{};
  std::array<int64_t, 4> CoinSubtotal{};
  std::array<int32_t, 4> SeatWealth{};  // wealth value per display seat, 0 none
  std::array<std::array<std::string, 2>, 4> ScoreNames;
  // The end-of-hand rows: flexible caps, the fee's percentage and its text,
  // the wild-tile streak of the fourth result row.
  std::array<uint8_t, 4> FlexibleCapFlags{};
  int16_t PercentValue = 0;
  std::string PercentCaption;
  uint8_t LianLaiCount = 0;

  // --- Spectator view ---
  std::array<std::array<uint8_t, 272>, 4> WatchPackets{};  // the four user-details packets
  uint8_t WatchedSeat = 0;
  bool DealShown = false;
  std::array<int16_t, 2> DiceValues{};
  // Where the last discard lay: a claim of it gives the place back.
  int16_t SavedDiscardX = 0, SavedDiscardY = 0;
  // A joined hand's table state: wall images taken from WallHead so far, the
  // tiles the seats took from the head and the tail mark, the earlier
  // discards per display seat, and the messages of the batch (0-3), counted
  // apart from the seat names' BatchCount, which other messages move.
  int16_t ImagesUsed = 0;
  int16_t HeadTaken = 0;
  int16_t TailMark = 0;
  std::array<int16_t, 4> DiscardCounts{};
  int16_t SeatTilesCount = 0;

  // --- Wall and hand work values of the hand model ---
  int16_t WallHead = 0;                             // wall position of the next draw
  int16_t WallTail = 0;                             // wall position of the next replacement draw
  std::array<int16_t, kWallPositions> WallState{};  // 1 where a position was taken this hand
  TileCode LastDiscard = 0;
  uint8_t LastDiscardSeat = 0;
  std::array<std::array<int16_t, 18>, 3> ShownTiles{};  // revealed tiles of seats 1-3
  int16_t WinnerSeat = 0;  // display seat of the first win of the hand, -1 none
  std::array<int16_t, 16> HiddenKongImages{};
  std::array<TileCode, 16> HiddenKongTiles{};
  std::array<uint8_t, 16> HiddenKongSeats{};
  uint8_t HiddenKongCount = 0;
  std::array<TileCode, 5> NextWallTiles{};
  std::array<int16_t, 5> NextWallImages{};
  uint8_t NextWallCount = 0;
  std::array<std::array<int16_t, 8>, 4> SetAsideImages{};  // red dragons and wild tiles laid aside
  int16_t KongDie = 0;
  bool KongDrawPending = false;
  bool DrawFromHead = false;
  std::array<int16_t, 6> ChiSlots{};    // chow choices as pairs of own slot indexes
  std::array<int16_t, 10> GangSlots{};  // kong candidates as own slot indexes
  std::array<int16_t, 4> PiaoOptGif{};  // picture id shown on each float-bet option

  // --- Table layout and reset ---
  bool TableGameOn = false;      // a game is on at this table
  int16_t ResultRowCount = 0;    // result rows of this hand, 0..3 between messages
  int32_t WealthMultiplier = 0;  // the table's wealth multiplier, 0 none
  bool LayoutBusy = false;

  // --- A hand's course: start, deal, draws, discards ---
  int16_t DiceDoubling = 0;   // byte 16 of the new hand: the dice multiply the stake when not 0
  std::string WealthCaption;  // the wealth badge's value when the hand started
  // Discards and claimed tiles seen this hand, by suit index and rank (1..9).
  std::array<std::array<int16_t, 10>, 4> SeenCnt{};
  TileCode FaceUpTile = 0;    // the tile shown face up at the wall's tail end
  int16_t WallFaceUpPos = 0;  // wall position the last table restore turned face up
};

// The values start-up gives before anything else runs (launch-line values
// and the screen scale are set by start-up itself).
void SetStartValues(Data& data);

}  // namespace slvn
