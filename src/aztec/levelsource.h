// Level sources: the hand-written text form of a level, its compiler into levels.lvl, and the dump back to text.
//
// A source file holds header lines and a grid of 12 rows of 12 cell tokens, the top row first:
//
//   # comments run to the end of the line
//   type aztec            (or match3)
//   challenge time        (or moves)
//   time 40 70            seconds for 3 and 2 stars
//   moves 14 22           shots for 3 and 2 stars (before the difficulty takes its share)
//   grid
//   . . 1 2 ...           12 tokens per row, 12 rows
//
// Aztec cell tokens: "." empty; 1..9 colour stone; F floor stone; I1..I9 inert stone; V1, V3..V9 variant stone of
// that colour, V? a variant of random colour; G1, G2, G3 granite that breaks after 1, 2 or 3 more hits;
// A1..A3 animal; xN any other raw stone code N. A stone token may end in "+", "++" or "+++": one to three chains.
// On aztec levels the bottom grid row rests on the floor.
// Match-3 cell tokens: "." no cell; o a plain cell; m1, m2, m3 a cell under one to three layers of mud.
// On match-3 levels the grid is the board as it appears on screen.
#pragma once
#include <string>
#include <vector>

#include "aztec/levelfile.h"

// The two header ints of a compiled catalogue.
enum { LEVELFILE_MAGIC = 0x4c424d4f, LEVELFILE_VERSION = 1 };  // "OMBL"

// Parses one level source. On failure returns false and sets `error` to "name:line:column: message".
bool parselevelsource(const std::string& text, const std::string& name, levelrecord* out, std::string* error);
// The source text of a record; parsing it gives the record back.
std::string formatlevelsource(const levelrecord& rec);
// A record of a level slot the game never plays: every cell empty, type 0, all values 0.
levelrecord unusedlevelrecord();

// Star marks of an aztec level from a measured play of `shots` shots over `seconds` of level clock. Three stars
// ask for about that play: on move levels still at the hardest difficulty, which takes 6 shots off the marks;
// on time levels with the time a player needs to aim every shot. Two stars leave room for an ordinary game.
void aztecmarks(int shots, int seconds, int* time3, int* time2, int* moves3, int* moves2);
// Time marks of a match-3 board from its size and its mud: every layer is one more item to clear on that cell.
void match3marks(const levelrecord& rec, int* time3, int* time2);
// A source text with its "time" and "moves" lines set to new marks (and its "# measured:" note, when given,
// in place of the old one or after the first comment line); everything else is kept as written.
std::string withmarks(const std::string& text, int time3, int time2, int moves3, int moves2, const std::string& note);

// Reads the sources 001.lvl, 002.lvl, ... of a folder: numbered from 1 without gaps, at most 150. On failure
// returns false with the first error.
bool readlevelsources(const std::string& dir, std::vector<levelrecord>* levels, std::string* error);
// Writes a catalogue with this game's header; levels after the given ones are unused slots. Returns 1 on success.
int writecatalogue(const std::string& path, const std::vector<levelrecord>& levels);
// The two header ints of a catalogue file; false when it is shorter than the header.
bool readcatalogueheader(const std::string& path, int* magic, int* version);
