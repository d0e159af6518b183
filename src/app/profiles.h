// The player profiles as the game uses them: reading the 15 slot files into the per-player tables (the shell's,
// the aztec board's and the match-3 copies), collecting a slot for a save, and the profile operations of the
// player dialogs.
#pragma once
#include <string>

#include "storage/players.h"

// 1 for a slot whose file exists but could not be read in this run: it is never written over until the game
// starts again, and a new profile never takes it.
extern int playerunreadable[PLAYERSLOTS];
// What the menu tells the player about the profile files: 0 nothing, else one of the notices below.
enum { NOTICE_NONE = 0, NOTICE_UNREADABLE = 1, NOTICE_REPAIRED = 2, NOTICE_SAVEFAILED = 3 };
extern int profilenotice;

// Reads slots 1..15 from players<n>.ppp; with 9999 first writes every slot fresh (first start). A missing file
// gives an empty slot; a damaged one loads what it holds that makes sense (a line on standard output names the
// file and the menu says so); one that cannot be read leaves the slot empty and untouchable for this run.
void loadplayers(int mode);
// Writes one slot (capturing a level in play first). Returns false when nothing was written.
bool saveplayer(int slot);
void resetplayer(int slot);
void restartplayer(int slot);
int checkplayername();
// The first slot 1..8 a new profile may take (empty name, file readable), 0 when there is none.
int freeplayerslot();
// A new profile in the first free slot 1..8 (previous player remembered, random id, name entry opened);
// returns the slot, or 0 when there is no free slot.
int createplayer();
// Empties the current slot, writes it, selects the lowest named slot (or none) and writes the settings.
void deleteplayer();

// A slot's tables as a profile record, and a record applied to a slot (the live match-3 tables take its
// match-3 copies, as after loading).
profilerecord collectplayer(int slot);
void applyplayer(int slot, const profilerecord& rec);
// The slot's file contents (28708 bytes plus the name), and reading them back into the slot; returns false
// (after a line naming `file`) when the bytes had to be repaired.
std::string encodeplayer(int slot);
bool decodeplayer(int slot, const std::string& bytes, const std::string& file);
