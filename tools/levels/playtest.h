// ombrivale-levels playtest: the casual player model run over the catalogue, many plays per level, in worker
// processes; a table, a CSV file, a summary per section and a plot.
#pragma once

int playtestcommand(int argc, char** argv);
