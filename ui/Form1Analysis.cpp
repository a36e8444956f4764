#include "ui/Form1.h"

#include "storage/DrawHistory.h"
#include "ui/BoardSlider.h"
#include "ui/DlgAnalysis.h"

#include <QComboBox>

void Form1::CmdAnalysis_Click()
{
    // The dialog reads every stored draw once, on a worker thread, through a
    // connection of its own: a connection serves only the thread that made it.
    const QString path = HistoryFilePath();
    const DrawSource draws = [path](int game, const ReadProgress &progress) {
        DrawHistory history(path);
        return history.draws(game, [&progress](int read, int total) {
            return progress(total > 0 ? double(read) / total : 1.0);
        });
    };
    DlgAnalysis dialog(*this, draws, this);
    dialog.exec();
}

void Form1::SetGameWeights(int game, const std::array<int, BoardSlots> &weights)
{
    // The user's own settings belong to the standard entry of the pattern
    // list, so the board shows that entry of the game first.
    if (currentGame() != game) {
        CmbSwitch->setCurrentIndex(game);
        CmbSwitch_Click();
    }
    if (CmbPattern->currentIndex() != 0) {
        CmbPattern->setCurrentIndex(0);
        CmbPattern_Click();
    }
    for (int n = 1; n <= GameTable[game].MaxNumber; ++n)
        Slider1[size_t(n)]->setValueChecked(weights[size_t(n)]);
}
