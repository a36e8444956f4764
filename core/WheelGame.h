#pragma once

#include <QString>

#include <vector>

// The facts of a game a wheel needs, read in this one place so the wheel code
// knows no game by name.
struct WheelTier
{
    QString Name;      // "1等"
    int Hits = 0;      // main numbers the row must hold
    int BonusHits = 0; // bonus numbers among the row's others (0 or 1)
};

struct WheelGame
{
    QString Name;
    int MaxNumber = 0;
    int PickCount = 0;
    int BonusCount = 0;
    int PriceYen = 0;
    std::vector<WheelTier> Tiers; // the first prize first
};

int WheelGameCount();
// index 0..WheelGameCount()-1, in the order of the main window's game list.
WheelGame WheelGameAt(int index);

// The best tier a row with `hits` main numbers and no bonus wins, as an index
// into Tiers; -1 when that wins nothing.
int TierForHits(const WheelGame &game, int hits);
