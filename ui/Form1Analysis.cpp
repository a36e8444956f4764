#include "ui/Form1.h"

#include "storage/DrawHistory.h"
#include "ui/DlgAnalysis.h"

void Form1::CmdAnalysis_Click()
{
    // The dialog reads every stored draw once, on this thread, when it opens.
    const DrawSource draws = [this](int game) { return History().draws(game); };
    DlgAnalysis dialog(*this, draws, this);
    dialog.exec();
}
