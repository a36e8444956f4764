#include "ui/Form1.h"

#include "ui/DlgDownload.h"

void Form1::CmdReadPattern_Click()
{
    // A fresh dialog each time, so it opens with the files as they are now.
    DlgDownload dialog(*this, this);
    dialog.exec();
}
