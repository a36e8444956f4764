#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

// Building a wheel: rows of the game's pick count from the chosen numbers, so
// that whenever at least `If` of the drawn main numbers are among the chosen
// ones, some row holds at least `Match` of them. Called alike by the dialog
// and the command line.
struct WheelRequest
{
    int Game = 0;             // index of WheelGameAt
    std::vector<int> Numbers; // the chosen numbers, distinct, 1..the game's highest
    int Match = 3;            // t
    int If = 3;               // m
    double Seconds = 10;      // the most the search may take
    quint64 Seed = 1;
    int Threads = 2; // independent searches, the best kept
    // Each search stops after this many steps (0: no such limit). With it
    // the same request gives the same rows every time: each search has its
    // own seed and the smallest wins, the first search on a tie. Under the
    // time alone, the rows are what the searches had when it ran out.
    qint64 MaxSteps = 0;
    // Stops once a wheel this small is found (0: at the lower bound).
    int TargetRows = 0;
};

struct WheelResult
{
    QString Error;                      // empty when the request could be searched
    std::vector<std::vector<int>> Rows; // ascending, in the chosen numbers
    quint64 Cases = 0;                  // C(v, m)
    quint64 Uncovered = 0;              // cases no row guarantees, counted by CheckWheel
    int LowerBound = 0;
    int BestKnown = 0; // 0 when not known
    double Seconds = 0;
    bool Stopped = false;  // by the stop flag
    bool FromData = false; // the rows are a shipped wheel the search did not beat
};

// Called from the searching threads with the smallest wheel found so far.
using WheelProgress = std::function<void(int rows, double seconds)>;

// Empty when the request is one a wheel can be built for, else why not.
QString WheelRequestError(const WheelRequest &request);

WheelResult BuildWheel(const WheelRequest &request, const std::atomic<bool> *stop = nullptr,
                       const WheelProgress &progress = {});
