#include "ui/Form1.h"

#include "core/GridSaveFile.h"
#include "storage/FileIo.h"
#include "storage/SaveFile.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <memory>

// Rows moved into the save area and not yet saved are copied to a recovery
// file in the background, so a crash or power cut does not take them. The
// copy goes when they are saved, replaced by a load, or the window closes.

QString Form1::RecoveryFilePath() const
{
    return ProgramFolder + QStringLiteral("zanbo-recovery.loto");
}

void Form1::SaveAreaChanged()
{
    m_saveAreaChanged = true;
    ++m_saveAreaGeneration;
    if (DataFolderShared)
        return;
    if (!m_recoveryTimer) {
        m_recoveryTimer = new QTimer(this);
        m_recoveryTimer->setSingleShot(true);
        connect(m_recoveryTimer, &QTimer::timeout, this, [this] { WriteRecoveryCopy(); });
    }
    m_recoveryPending = true;
    if (!m_recoveryTimer->isActive() && !m_recoverySnapshot)
        m_recoveryTimer->start(RecoveryIntervalMs);
}

void Form1::WriteRecoveryCopy()
{
    if (!m_recoveryPending || DataFolderShared)
        return;
    // One copy at a time: a change during a write waits for the next turn.
    if (m_recoveryWriting && !*m_recoveryWriting) {
        m_recoveryTimer->start(RecoveryIntervalMs);
        return;
    }
    JoinRecoveryWriter();
    m_recoveryPending = false;
    if (!m_saveAreaChanged || FGkekka[1]->rowCount() <= 1) {
        QFile::remove(RecoveryFilePath());
        return;
    }
    // The window's thread copies the cells a slice at a time between its
    // events; the writing is done on a thread of its own.
    m_recoverySnapshot = std::make_shared<GridCellStore>(1, 1);
    m_recoverySnapshot->beginTextCopyOf(FGkekka[1]->gridModel()->store());
    m_snapshotGeneration = m_saveAreaGeneration;
    CopyRecoverySlice();
}

void Form1::CopyRecoverySlice()
{
    if (!m_recoverySnapshot)
        return;
    // A change since the copy began spoils it: the next turn starts afresh.
    if (m_snapshotGeneration != m_saveAreaGeneration) {
        m_recoverySnapshot.reset();
        m_recoveryTimer->start(RecoveryIntervalMs);
        return;
    }
    // Some 16 MB a slice: a few milliseconds.
    constexpr size_t SliceCells = size_t(4) << 20;
    if (!m_recoverySnapshot->continueTextCopyOf(FGkekka[1]->gridModel()->store(), SliceCells)) {
        QTimer::singleShot(0, this, [this] { CopyRecoverySlice(); });
        return;
    }
    std::shared_ptr<const GridCellStore> snapshot = std::move(m_recoverySnapshot);
    m_recoverySnapshot.reset();
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_recoveryWriting = done;
    m_recoveryWriter = std::thread([snapshot, done, path = RecoveryFilePath()] {
        WriteGridSaveFile(path, *snapshot);
        done->store(true);
    });
}

void Form1::JoinRecoveryWriter()
{
    if (m_recoveryWriter.joinable())
        m_recoveryWriter.join();
    m_recoveryWriting.reset();
}

void Form1::DropRecoveryCopy()
{
    if (m_recoveryTimer)
        m_recoveryTimer->stop();
    m_recoveryPending = false;
    m_recoverySnapshot.reset();
    JoinRecoveryWriter();
    if (!DataFolderShared)
        QFile::remove(RecoveryFilePath());
}

void Form1::OfferRecovery()
{
    const QString path = RecoveryFilePath();
    if (DataFolderShared || !QFileInfo(path).isFile())
        return;
    if (dialogs().confirm(this,
                          QStringLiteral("前回保存されていない結果保存エリアの行があります。"
                                         "復元しますか？"),
                          QStringLiteral("復元"), QMessageBox::Question)
        && RestoreRecoveryCopy(path))
        return;
    // Kept under a dated name, never deleted: the rows may still be wanted.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString keptAs = ProgramFolder + QStringLiteral("zanbo-recovery-%1.loto").arg(stamp);
    for (int n = 2; QFileInfo::exists(keptAs); ++n)
        keptAs = ProgramFolder + QStringLiteral("zanbo-recovery-%1-%2.loto").arg(stamp).arg(n);
    QFile::rename(path, keptAs);
}

bool Form1::RestoreRecoveryCopy(const QString &path)
{
    QFile file(path);
    if (!OpenRegularFile(file))
        return false;
    SaveFileReader reader(file);
    const SaveFileHead head = reader.readHead();
    if (!head.countsValid)
        return false;
    // A copy that holds LOTO7 rows has their seventh number column.
    GridCellStore cells(1, SaveFileGridColumns(head));
    const SaveFileRowsRead read = ReadSaveFileRows(reader, head, file.size(), cells, LoadRowLimit,
                                                   {}, LoadByteLimit);
    if (read.readFailed || read.rows == 0)
        return false;
    ResultGrid *grid = FGkekka[1];
    grid->setRowCount(1);
    SetGridNumberColumns(1, GridLayoutOf(cells.columnCount()).NumberColumns);
    grid->gridModel()->replaceCells(std::move(cells));
    UnselectGrid(1);
    SetSaveAreaButtons(true);
    // Restored rows are still unsaved; the copy on the disk already holds them.
    m_saveAreaChanged = true;
    return true;
}
