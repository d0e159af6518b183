#include "playtest.h"

#include <cairo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "aztec/playtest.h"
#include "platform/readfile.h"
#include "storage/settings.h"

namespace {
struct options {
    std::string catalogue;
    int plays = 50;
    std::vector<int> difficulties{3};
    std::vector<int> players{0};  // indexes into playtesters
    std::vector<int> levels;      // empty: every level the catalogue holds
    uint64_t seed = 1;
    int jobs = 2;
    int onlyplay = -1;  // play only this play number (1-based) of each level, with the seed it has in a full run
    std::string out = "build/playtest/playtest";
    bool check = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: ombrivale-levels playtest CATALOGUE [--plays N] [--difficulty 1,3,4] [--players casual,slow]\n"
                 "         [--levels 1-15,40] [--seed S] [--jobs J] [--play K] [--out PREFIX] [--check]\n"
                 "  players: casual quick slow attentive blaster (or all); writes PREFIX.txt, PREFIX.csv and\n"
                 "  PREFIX.png; --check exits 1 on a dead state or on a level no play won\n");
    return 2;
}

bool parselist(const std::string& text, std::vector<int>* out) {
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        const size_t dash = part.find('-');
        char* end = nullptr;
        const long a = std::strtol(part.c_str(), &end, 10);
        if (end == part.c_str()) return false;
        long b = a;
        if (dash != std::string::npos) {
            const char* tail = part.c_str() + dash + 1;
            b = std::strtol(tail, &end, 10);
            if (end == tail) return false;
        } else if (*end != '\0') {
            return false;
        }
        if (a < 1 || b < a || b > 1000) return false;
        for (long v = a; v <= b; ++v) out->push_back((int)v);
    }
    return !out->empty();
}

bool parseoptions(int argc, char** argv, options* o) {
    if (argc < 3) return false;
    o->catalogue = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc && a != "--check") return false;
        if (a == "--check") {
            o->check = true;
        } else if (a == "--plays") {
            o->plays = std::atoi(argv[++i]);
            if (o->plays < 1 || o->plays > 100000) return false;
        } else if (a == "--difficulty") {
            o->difficulties.clear();
            if (!parselist(argv[++i], &o->difficulties)) return false;
            for (int d : o->difficulties)
                if (d > 4) return false;
        } else if (a == "--players") {
            o->players.clear();
            std::stringstream in(argv[++i]);
            std::string name;
            while (std::getline(in, name, ',')) {
                if (name == "all") {
                    for (int t = 0; t < playtestercount; ++t) o->players.push_back(t);
                    continue;
                }
                const playtester* t = findplaytester(name);
                if (!t) return false;
                o->players.push_back((int)(t - playtesters));
            }
            if (o->players.empty()) return false;
        } else if (a == "--levels") {
            if (!parselist(argv[++i], &o->levels)) return false;
        } else if (a == "--seed") {
            o->seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (a == "--jobs") {
            o->jobs = std::clamp(std::atoi(argv[++i]), 1, 64);
        } else if (a == "--play") {
            o->onlyplay = std::atoi(argv[++i]);
            if (o->onlyplay < 1) return false;
        } else if (a == "--out") {
            o->out = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    return h ^ (h >> 33);
}

struct job {
    int level, difficulty, player, play;  // play 1-based
    uint64_t seed;
};

struct jobresult {
    int job;
    playresult r;
};

// Every play runs in one of `workers` forked processes (jobs dealt out in turn); the results come back through
// a file per worker, in job order whatever the workers' speed.
std::vector<playresult> runjobs(const std::vector<job>& jobs, const std::vector<levelrecord>& levels, int workers) {
    std::vector<playresult> results(jobs.size());
    std::vector<FILE*> files;
    std::vector<pid_t> pids;
    std::fflush(stdout);
    std::fflush(stderr);
    workers = std::max(1, std::min(workers, (int)jobs.size()));
    for (int w = 0; w < workers; ++w) {
        FILE* f = std::tmpfile();
        if (!f) {
            std::fprintf(stderr, "ombrivale-levels: cannot make a file for the workers\n");
            std::exit(1);
        }
        files.push_back(f);
        const pid_t pid = fork();
        if (pid < 0) {
            std::fprintf(stderr, "ombrivale-levels: cannot start a worker\n");
            std::exit(1);
        }
        if (pid == 0) {
            int lastlevel = 0;
            for (size_t i = (size_t)w; i < jobs.size(); i += (size_t)workers) {
                const job& j = jobs[i];
                if (w == 0 && j.level != lastlevel) {
                    std::fprintf(stderr, "playtest: level %d\n", j.level);
                    lastlevel = j.level;
                }
                jobresult out{(int)i, playtestlevel(j.level, levels[(size_t)j.level - 1], j.difficulty,
                                                   playtesters[j.player], j.seed)};
                std::fwrite(&out, sizeof out, 1, f);
            }
            std::fflush(f);
            _exit(0);
        }
        pids.push_back(pid);
    }
    bool failed = false;
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) failed = true;
    }
    std::vector<bool> seen(jobs.size(), false);
    for (FILE* f : files) {
        std::fseek(f, 0, SEEK_SET);
        jobresult in;
        while (std::fread(&in, sizeof in, 1, f) == 1)
            if (in.job >= 0 && (size_t)in.job < jobs.size()) results[(size_t)in.job] = in.r, seen[(size_t)in.job] = true;
        std::fclose(f);
    }
    if (failed || std::find(seen.begin(), seen.end(), false) != seen.end()) {
        std::fprintf(stderr, "ombrivale-levels: a playtest worker died before it finished\n");
        std::exit(1);
    }
    return results;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const double at = p * (double)(v.size() - 1);
    const size_t lo = (size_t)at;
    const size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - (double)lo);
}

// The plays of one level at one difficulty by one player.
struct cell {
    int level = 0, difficulty = 0, player = 0, type = 0, challenge = 0;
    int plays = 0, won = 0, lost = 0, stuck = 0, dead = 0, two = 0, three = 0;
    std::vector<double> shots, minutes, winseconds, winshots;
    std::string firstdead;
    double rate(int n) const { return plays ? 100.0 * n / plays : 0; }
    double winrate() const { return rate(won); }
};

struct table {
    std::vector<cell> cells;  // level-major, then difficulty, then player
    int at(size_t level_index, size_t d, size_t p, const options& o) const {
        return (int)((level_index * o.difficulties.size() + d) * o.players.size() + p);
    }
};

std::string levelkind(const cell& c) {
    if (c.type == 2) return "match3";
    return c.challenge == 2 ? "moves" : "time";
}

// The mean of the nearest board levels on either side (only those that exist).
double neighbourmean(const std::vector<const cell*>& row, size_t i) {
    double sum = 0;
    int n = 0;
    for (int dir : {-1, 1}) {
        for (long j = (long)i + dir; j >= 0 && j < (long)row.size(); j += dir)
            if (row[(size_t)j]->type == 1) {
                sum += row[(size_t)j]->winrate();
                ++n;
                break;
            }
    }
    return n ? sum / n : -1;
}

void writetable(FILE* f, const table& t, const options& o, const std::vector<int>& levels) {
    std::fprintf(f, "Playtest of %s: %d plays per level, seed %llu\n", o.catalogue.c_str(),
                 o.onlyplay > 0 ? 1 : o.plays, (unsigned long long)o.seed);
    std::fprintf(f,
                 "win/lose/stuck: per cent of plays; shots and minutes: medians of all plays; 2+ and 3: per cent of the "
                 "wins with that many stars;\nwin seconds and win shots: 10th, 25th, 50th, 75th and 90th percentiles "
                 "of the won plays (the level clock, which runs from frame 220); dip: points under the mean of the "
                 "neighbouring board levels\n");
    for (size_t di = 0; di < o.difficulties.size(); ++di)
        for (size_t pi = 0; pi < o.players.size(); ++pi) {
            std::fprintf(f, "\n== difficulty %d, %s player\n", o.difficulties[di], playtesters[o.players[pi]].name);
            std::fprintf(f, "%5s %-6s %5s %5s %5s %4s %6s %6s %4s %4s  %-29s  %-29s %5s\n", "level", "kind", "win",
                         "lose", "stuck", "dead", "shots", "min", "2+", "3", "win seconds p10 p25 p50 p75 p90",
                         "win shots p10 p25 p50 p75 p90", "dip");
            std::vector<const cell*> row;
            for (size_t li = 0; li < levels.size(); ++li) row.push_back(&t.cells[(size_t)t.at(li, di, pi, o)]);
            for (size_t i = 0; i < row.size(); ++i) {
                const cell& c = *row[i];
                char sec[64] = "-", sh[64] = "-", dip[16] = "";
                if (c.won) {
                    std::snprintf(sec, sizeof sec, "%5.0f %5.0f %5.0f %5.0f %5.0f", percentile(c.winseconds, 0.1),
                                  percentile(c.winseconds, 0.25), percentile(c.winseconds, 0.5),
                                  percentile(c.winseconds, 0.75), percentile(c.winseconds, 0.9));
                    std::snprintf(sh, sizeof sh, "%5.0f %5.0f %5.0f %5.0f %5.0f", percentile(c.winshots, 0.1),
                                  percentile(c.winshots, 0.25), percentile(c.winshots, 0.5),
                                  percentile(c.winshots, 0.75), percentile(c.winshots, 0.9));
                }
                const double m = c.type == 1 ? neighbourmean(row, i) : -1;
                if (m >= 0) std::snprintf(dip, sizeof dip, "%s%.0f", m - c.winrate() > 25 ? "!" : "", m - c.winrate());
                std::fprintf(f, "%5d %-6s %5.0f %5.0f %5.0f %4d %6.0f %6.1f %4.0f %4.0f  %-29s  %-29s %5s\n", c.level,
                             levelkind(c).c_str(), c.winrate(), c.rate(c.lost), c.rate(c.stuck), c.dead,
                             percentile(c.shots, 0.5), percentile(c.minutes, 0.5),
                             c.won ? 100.0 * c.two / c.won : 0.0, c.won ? 100.0 * c.three / c.won : 0.0, sec, sh, dip);
            }
        }
}

void writesummary(FILE* f, const table& t, const options& o, const std::vector<int>& levels) {
    std::fprintf(f, "\nPer section (board levels: mean and lowest win rate, median of the levels' median minutes,\n"
                    "stars of all wins; match-3: mean win rate and 3-star share of the wins)\n");
    for (size_t di = 0; di < o.difficulties.size(); ++di)
        for (size_t pi = 0; pi < o.players.size(); ++pi) {
            std::fprintf(f, "\n== difficulty %d, %s player\n", o.difficulties[di], playtesters[o.players[pi]].name);
            std::fprintf(f, "%7s %6s %5s %9s %6s %5s %5s %5s | %6s %5s %5s\n", "section", "levels", "win", "lowest",
                         "min", "2+", "3", "dead", "match3", "win", "3");
            for (int s = 1; s <= 7; ++s) {
                int n = 0, wins = 0, two = 0, three = 0, dead = 0, m3n = 0, m3wins = 0, m3three = 0;
                double sum = 0, m3sum = 0, lowest = 101;
                int lowestlevel = 0;
                std::vector<double> mins;
                for (size_t li = 0; li < levels.size(); ++li) {
                    if ((levels[li] - 1) / 15 + 1 != s) continue;
                    const cell& c = t.cells[(size_t)t.at(li, di, pi, o)];
                    if (c.type == 2) {
                        ++m3n;
                        m3sum += c.winrate();
                        m3wins += c.won;
                        m3three += c.three;
                        continue;
                    }
                    ++n;
                    sum += c.winrate();
                    if (c.winrate() < lowest) lowest = c.winrate(), lowestlevel = c.level;
                    wins += c.won;
                    two += c.two;
                    three += c.three;
                    dead += c.dead;
                    mins.push_back(percentile(c.minutes, 0.5));
                }
                if (n == 0 && m3n == 0) continue;
                char low[24] = "-";
                if (n) std::snprintf(low, sizeof low, "%.0f (%d)", lowest, lowestlevel);
                std::fprintf(f, "%7d %6d %5.0f %9s %6.1f %5.0f %5.0f %5d | %6d %5.0f %5.0f\n", s, n, n ? sum / n : 0.0,
                             low, percentile(mins, 0.5), wins ? 100.0 * two / wins : 0.0,
                             wins ? 100.0 * three / wins : 0.0, dead, m3n, m3n ? m3sum / m3n : 0.0,
                             m3wins ? 100.0 * m3three / m3wins : 0.0);
            }
        }
}

void writecsv(const std::string& path, const table& t, const options&) {
    std::ofstream out(path, std::ios::binary);
    out << "level,kind,difficulty,player,plays,win,lose,stuck,dead,median_shots,median_minutes,stars2plus,stars3,"
           "winsec_p10,winsec_p25,winsec_p50,winsec_p75,winsec_p90,winshots_p10,winshots_p25,winshots_p50,"
           "winshots_p75,winshots_p90\n";
    char line[512];
    for (const cell& c : t.cells) {
        std::snprintf(line, sizeof line,
                      "%d,%s,%d,%s,%d,%.1f,%.1f,%.1f,%d,%.1f,%.2f,%.1f,%.1f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,%.0f,"
                      "%.0f\n",
                      c.level, levelkind(c).c_str(), c.difficulty, playtesters[c.player].name, c.plays, c.winrate(),
                      c.rate(c.lost), c.rate(c.stuck), c.dead, percentile(c.shots, 0.5), percentile(c.minutes, 0.5),
                      c.won ? 100.0 * c.two / c.won : 0.0, c.won ? 100.0 * c.three / c.won : 0.0,
                      percentile(c.winseconds, 0.1), percentile(c.winseconds, 0.25), percentile(c.winseconds, 0.5),
                      percentile(c.winseconds, 0.75), percentile(c.winseconds, 0.9), percentile(c.winshots, 0.1),
                      percentile(c.winshots, 0.25), percentile(c.winshots, 0.5), percentile(c.winshots, 0.75),
                      percentile(c.winshots, 0.9));
        out << line;
    }
}

// Two panels over levels 1..105: the win rate per difficulty and player, and the median minutes a level takes.
bool writeplot(const std::string& path, const table& t, const options& o, const std::vector<int>& levels) {
    const int W = 1500, H = 820, left = 70, right = 30, top = 50, mid = 470, bottom = 770;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const int maxlevel = std::max(105, levels.empty() ? 105 : levels.back());
    auto xof = [&](double level) { return left + (level - 0.5) * (W - left - right) / maxlevel; };
    const double toph = mid - 40 - top, both = bottom - (mid + 20);
    double maxmin = 4;
    for (const cell& c : t.cells) maxmin = std::max(maxmin, percentile(c.minutes, 0.5));
    maxmin = std::ceil(maxmin);
    auto ywin = [&](double rate) { return top + toph * (1 - rate / 100.0); };
    auto ymin = [&](double m) { return bottom - both * m / maxmin; };

    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    // Sections, the grid and the axes.
    for (int s = 0; s < 7; ++s) {
        if (s % 2 == 1) {
            cairo_set_source_rgb(cr, 0.95, 0.95, 0.97);
            cairo_rectangle(cr, xof(15 * s + 0.5), top, xof(15 * s + 15.5) - xof(15 * s + 0.5), bottom - top);
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
        cairo_move_to(cr, xof(15 * s + 6), bottom + 35);
        cairo_show_text(cr, ("section " + std::to_string(s + 1)).c_str());
    }
    cairo_set_line_width(cr, 1);
    for (int g = 0; g <= 100; g += 20) {
        cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
        cairo_move_to(cr, left, ywin(g));
        cairo_line_to(cr, W - right, ywin(g));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
        cairo_move_to(cr, left - 38, ywin(g) + 4);
        cairo_show_text(cr, (std::to_string(g) + " %").c_str());
    }
    for (int m = 0; m <= (int)maxmin; m += maxmin > 8 ? 2 : 1) {
        cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
        cairo_move_to(cr, left, ymin(m));
        cairo_line_to(cr, W - right, ymin(m));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
        cairo_move_to(cr, left - 38, ymin(m) + 4);
        cairo_show_text(cr, (std::to_string(m) + " min").c_str());
    }
    for (int l = 5; l <= maxlevel; l += 5) {
        cairo_move_to(cr, xof(l) - 7, bottom + 16);
        cairo_show_text(cr, std::to_string(l).c_str());
    }
    cairo_set_font_size(cr, 16);
    cairo_move_to(cr, left, top - 18);
    cairo_show_text(cr, ("Win rate per level (" + std::to_string(o.onlyplay > 0 ? 1 : o.plays) +
                         " plays each; rings: match-3)").c_str());
    cairo_move_to(cr, left, mid + 12);
    cairo_show_text(cr, "Median minutes per level");

    static const double palette[6][3] = {{0.10, 0.45, 0.80}, {0.85, 0.35, 0.10}, {0.15, 0.60, 0.25},
                                         {0.60, 0.20, 0.65}, {0.55, 0.45, 0.10}, {0.30, 0.30, 0.30}};
    int series = 0;
    cairo_set_font_size(cr, 13);
    for (size_t di = 0; di < o.difficulties.size(); ++di)
        for (size_t pi = 0; pi < o.players.size(); ++pi, ++series) {
            const double* col = palette[series % 6];
            cairo_set_source_rgb(cr, col[0], col[1], col[2]);
            cairo_set_line_width(cr, 1.6);
            bool started = false;
            for (size_t li = 0; li < levels.size(); ++li) {
                const cell& c = t.cells[(size_t)t.at(li, di, pi, o)];
                if (c.type != 1) continue;
                if (!started) cairo_move_to(cr, xof(c.level), ywin(c.winrate()));
                else cairo_line_to(cr, xof(c.level), ywin(c.winrate()));
                started = true;
            }
            cairo_stroke(cr);
            for (size_t li = 0; li < levels.size(); ++li) {
                const cell& c = t.cells[(size_t)t.at(li, di, pi, o)];
                cairo_new_sub_path(cr);
                cairo_arc(cr, xof(c.level), ywin(c.winrate()), c.type == 1 ? 2.5 : 4.5, 0, 2 * M_PI);
                if (c.type == 1) cairo_fill(cr);
                else cairo_stroke(cr);
                if (c.dead) {
                    cairo_set_source_rgb(cr, 0.85, 0, 0);
                    cairo_move_to(cr, xof(c.level) - 4, ywin(c.winrate()) - 8);
                    cairo_show_text(cr, "x");
                    cairo_set_source_rgb(cr, col[0], col[1], col[2]);
                }
                // Minutes as thin bars, side by side for the series.
                const double bw = (xof(2) - xof(1)) * 0.8 / (double)(o.difficulties.size() * o.players.size());
                const double x0 = xof(c.level) - (xof(2) - xof(1)) * 0.4 + bw * series;
                const double m = percentile(c.minutes, 0.5);
                cairo_rectangle(cr, x0, ymin(m), bw, bottom - ymin(m));
                cairo_fill(cr);
            }
            // Legend.
            const double lx = W - right - 230 * (double)(series + 1), ly = top - 22;
            cairo_rectangle(cr, lx, ly - 9, 18, 9);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
            cairo_move_to(cr, lx + 26, ly);
            cairo_show_text(cr, ("difficulty " + std::to_string(o.difficulties[di]) + ", " +
                                 playtesters[o.players[pi]].name)
                                    .c_str());
        }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}
}  // namespace

int playtestcommand(int argc, char** argv) {
    options o;
    if (!parseoptions(argc, argv, &o)) return usage();
    std::string bytes, error;
    catalogue cat;
    if (read_file(o.catalogue, bytes) != READ_OK || !decodecatalogue(bytes, &cat, &error)) {
        std::fprintf(stderr, "ombrivale-levels: cannot read a level catalogue from %s %s\n", o.catalogue.c_str(),
                     error.c_str());
        return 2;
    }
    applycatalogue(cat);
    std::vector<int> levels;
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        const levelrecord& rec = cat.levels[(size_t)n - 1];
        bool used = false;
        for (int c = 1; c <= CATALOGUE_CELLS && !used; ++c) used = rec.stonecode[c] >= 0;
        if (!used || (rec.type != 1 && rec.type != 2)) continue;
        if (!o.levels.empty() && std::find(o.levels.begin(), o.levels.end(), n) == o.levels.end()) continue;
        levels.push_back(n);
    }
    if (levels.empty()) {
        std::fprintf(stderr, "ombrivale-levels: no level to play\n");
        return 2;
    }

    std::vector<job> jobs;
    for (int level : levels)
        for (int d : o.difficulties)
            for (int p : o.players)
                for (int k = 1; k <= o.plays; ++k) {
                    if (o.onlyplay > 0 && k != o.onlyplay) continue;
                    uint64_t s = mix(mix(mix(mix(o.seed, (uint64_t)level), (uint64_t)d), (uint64_t)p), (uint64_t)k);
                    jobs.push_back({level, d, p, k, s});
                }
    std::vector<playresult> results = runjobs(jobs, cat.levels, o.jobs);

    table t;
    for (int level : levels)
        for (int d : o.difficulties)
            for (int p : o.players) {
                cell c;
                c.level = level, c.difficulty = d, c.player = p;
                c.type = level_type[level], c.challenge = level_challenge[level];
                t.cells.push_back(c);
            }
    int deadplays = 0, neverwon = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const job& j = jobs[i];
        const playresult& r = results[i];
        const size_t li = (size_t)(std::find(levels.begin(), levels.end(), j.level) - levels.begin());
        const size_t di = (size_t)(std::find(o.difficulties.begin(), o.difficulties.end(), j.difficulty) -
                                   o.difficulties.begin());
        const size_t pi = (size_t)(std::find(o.players.begin(), o.players.end(), j.player) - o.players.begin());
        cell& c = t.cells[(size_t)t.at(li, di, pi, o)];
        c.plays += 1;
        c.shots.push_back(r.shots);
        c.minutes.push_back(r.frames / 3000.0);
        if (r.outcome == PLAY_WON) {
            c.won += 1;
            c.two += r.stars >= 2;
            c.three += r.stars >= 3;
            c.winseconds.push_back(r.seconds);
            c.winshots.push_back(r.shots);
        } else if (r.outcome == PLAY_LOST) {
            c.lost += 1;
        } else {
            c.stuck += 1;
        }
        if (r.dead) {
            c.dead += 1;
            deadplays += 1;
            if (c.firstdead.empty()) {
                char line[400];
                std::snprintf(line, sizeof line, "play %d (--play %d), after shot %d: %s", j.play, j.play, r.deadshot,
                              r.deadwhat);
                c.firstdead = line;
            }
        }
    }

    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(o.out).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    FILE* txt = std::fopen((o.out + ".txt").c_str(), "wb");
    for (FILE* f : {stdout, txt}) {
        if (!f) continue;
        writetable(f, t, o, levels);
        writesummary(f, t, o, levels);
        std::fprintf(f, "\nDead states:%s\n", deadplays ? "" : " none");
        for (const cell& c : t.cells)
            if (c.dead)
                std::fprintf(f, "  level %d, difficulty %d, %s player: %d of %d plays; first %s\n", c.level,
                             c.difficulty, playtesters[c.player].name, c.dead, c.plays, c.firstdead.c_str());
    }
    // A level counts as never won when none of its plays, at any difficulty and by any player, was won.
    std::string nevers;
    for (size_t li = 0; li < levels.size(); ++li) {
        int won = 0;
        for (size_t k = 0; k < o.difficulties.size() * o.players.size(); ++k)
            won += t.cells[li * o.difficulties.size() * o.players.size() + k].won;
        if (won == 0) {
            ++neverwon;
            nevers += " " + std::to_string(levels[li]);
        }
    }
    for (FILE* f : {stdout, txt})
        if (f) std::fprintf(f, "Levels no play won:%s\n", neverwon ? nevers.c_str() : " none");
    if (txt) std::fclose(txt);
    writecsv(o.out + ".csv", t, o);
    if (!writeplot(o.out + ".png", t, o, levels))
        std::fprintf(stderr, "ombrivale-levels: cannot write %s.png\n", o.out.c_str());
    std::printf("Wrote %s.txt, %s.csv and %s.png\n", o.out.c_str(), o.out.c_str(), o.out.c_str());
    if (o.check && (deadplays > 0 || neverwon > 0)) {
        std::printf("playtest check FAILED: %d plays reached a dead state, %d levels were never won\n", deadplays,
                    neverwon);
        return 1;
    }
    return 0;
}
