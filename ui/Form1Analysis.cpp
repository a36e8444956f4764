#include "ui/Form1.h"

#include "ui/DlgAnalysis.h"

void Form1::CmdAnalysis_Click()
{
    // No draw store is attached to the window yet, so the analysis sees no
    // stored draws.
    const DrawSource draws = [](int) { return QVector<DrawRecord>(); };
    DlgAnalysis dialog(*this, draws, this);
    dialog.exec();
}
