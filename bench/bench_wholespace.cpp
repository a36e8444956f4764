// The whole LOTO6 space in the save area: all 6,096,454 combinations, each
// once with its statistics columns, loaded from a save file, saved again,
// judged against one draw and sorted by a click on "合計", on a shown main
// window; then the memory of loading files of bare line ends with a huge D.
// With the argument "loto7" the same for the whole LOTO7 space, 10,295,472
// rows of seven numbers. The whole-space file is written once into the
// folder of this program and reused. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_wholespace [loto7]
#include "bench/BenchDialogs.h"
#include "bench/BenchSupport.h"
#include "core/Judgement.h"
#include "storage/FilePathCommands.h"
#include "storage/SaveFile.h"
#include "ui/DlgJudge.h"
#include "ui/Form1.h"
#include "ui/MessageLineBox.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

// A game's whole space: its size, file, draw and what the judgement and the
// sort must give.
struct Space
{
    const char *name;
    int game;
    int highest;
    int pick;
    qint64 rows;
    const char *fileName;
    const char *draw; // the [TOSENNUM] section
    // Per tier, then the near miss: hits, bonus flag, rows.
    std::vector<std::array<qint64, 3>> lines;
    const char *smallestSum;
    const char *largestSum;
    const char *targets;
};

const Space Loto6Space{
    "LOTO6",
    GameLoto6,
    43,
    6,
    6096454,
    "/wholespace.loto",
    "[TOSENNUM]\nNUMID=250\nDATE=2005/10/06\nN1=1\nN2=2\n"
    "N3=3\nN4=4\nN5=5\nN6=6\nN0=7\n",
    {{6, 0, 1}, {5, 1, 6}, {5, 0, 216}, {4, 0, 9990}, {3, 0, 155400}, {2, 0, 990675}},
    "21",
    "243",
    "each step < 2 s, load peak < 1 GB"};
const Space Loto7Space{"LOTO7",
                       GameLoto7,
                       37,
                       7,
                       10295472,
                       "/wholespace7.loto",
                       "[TOSENNUM]\nNUMID=605\nDATE=2026/12/04\nN1=1\nN2=2\nN3=3\n"
                       "N4=4\nN5=5\nN6=6\nN7=7\nN0=8\nN00=9\n",
                       {{7, 0, 1},
                        {6, 1, 14},
                        {6, 0, 196},
                        {5, 0, 9135},
                        {4, 0, 142100},
                        {3, 1, 242550},
                        {3, 0, 716625}},
                       "28",
                       "238",
                       "each step <= 2.5 s, peak <= 1.2 GB"};

void Report(const char *what, const Stopwatch &timer, const QString &note = QString())
{
    std::printf("  %-40s %7.3f s wall %7.3f s cpu  %s\n", what, timer.wall(), timer.cpu(),
                qPrintable(note));
    std::fflush(stdout);
}

void ReportPeak(const char *what, double before, bool peakReset)
{
    std::printf("  %-40s %7.1f MB (resident before %.1f MB%s)\n", what, StatusMegabytes("VmHWM"),
                before, peakReset ? "" : "; peak not reset, whole run");
    std::fflush(stdout);
}

// Every combination in ascending order, as the generator writes its rows:
// row number, the numbers, sum, deviation, odd count.
class SpaceRowsText
{
public:
    SpaceRowsText(int highest, int pick)
        : m_highest(highest)
        , m_pick(pick)
    {
        for (int k = 1; k <= pick; ++k)
            m_numbers[size_t(k)] = k;
    }

    QString operator()(qint64 first, qint64 count)
    {
        QString text;
        text.reserve(qsizetype(count) * 36);
        for (qint64 i = 0; i < count; ++i) {
            if (i > 0)
                text += QLatin1Char('\r');
            text += QString::number(first + i + 1);
            for (int k = 1; k <= m_pick; ++k)
                text += QLatin1Char('\t') + QString::number(m_numbers[size_t(k)]);
            text += QLatin1Char('\t') + QString::number(CombinationSum(m_numbers, m_pick));
            text += QLatin1Char('\t') + QString::number(CombinationDeviation(m_numbers, m_pick));
            text += QLatin1Char('\t') + QString::number(CombinationOddCount(m_numbers, m_pick));
            next();
        }
        return text;
    }

private:
    void next()
    {
        int k = m_pick;
        while (k >= 1 && m_numbers[size_t(k)] == m_highest - m_pick + k)
            --k;
        if (k < 1)
            return;
        ++m_numbers[size_t(k)];
        for (int j = k + 1; j <= m_pick; ++j)
            m_numbers[size_t(j)] = m_numbers[size_t(j - 1)] + 1;
    }

    int m_highest;
    int m_pick;
    Combination m_numbers{};
};

// Whether the progress dialog showed during a step and how often it painted:
// each paint is a turn of the event loop in the middle of the step.
class ProgressWatch : public QObject
{
public:
    int shown = 0;
    int paints = 0;
    void reset() { shown = paints = 0; }
    QString note() const
    {
        return shown ? QStringLiteral("progress dialog shown, %1 repaints").arg(paints)
                     : QStringLiteral("no progress dialog");
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (qobject_cast<QProgressDialog *>(watched)) {
            if (event->type() == QEvent::Show)
                ++shown;
            else if (event->type() == QEvent::Paint)
                ++paints;
        }
        return false;
    }
};

bool SpaceFileReady(const QString &path, const Space &space)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 200'000'000)
        return false;
    const QByteArray head = "Zanbo\r\n " + QByteArray::number(space.rows) + " \r\n";
    return file.read(head.size()) == head;
}

// A file whose rows are all empty: D, then bytes line ends.
bool WriteBareLineEnds(const QString &path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("Zanbo\r\n 999999999999 \r\n 9 \r\n");
    const QByteArray block(1 << 20, '\n');
    for (qint64 done = 0; done < bytes; done += block.size())
        file.write(block.constData(), std::min<qint64>(block.size(), bytes - done));
    return file.error() == QFile::NoError;
}

bool SameFiles(const QString &a, const QString &b)
{
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd())
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Space &space = argc > 1 && qstrcmp(argv[1], "loto7") == 0 ? Loto7Space : Loto6Space;
    const qint64 SpaceRows = space.rows;
    const int SumColumn = GridLayoutFor(space.pick).sumColumn();
    const QString spacePath = QCoreApplication::applicationDirPath()
                              + QString::fromLatin1(space.fileName);
    Stopwatch timer;
    bool ok = true;

    std::printf("whole %s space, %lld rows (targets: %s)\n", space.name,
                static_cast<long long>(SpaceRows), space.targets);
    if (!SpaceFileReady(spacePath, space)) {
        timer.start();
        SpaceRowsText rows(space.highest, space.pick);
        const SaveFileWriteResult written = WriteSaveFile(
            spacePath, SpaceRows, GridLayoutFor(space.pick).columnCount() - 1, std::ref(rows));
        if (!written.ok) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(spacePath),
                         qPrintable(written.error));
            return 1;
        }
        Report("write the whole-space file (set-up)", timer);
    }
    std::printf("  file %s, %.1f MB\n", qPrintable(spacePath), QFileInfo(spacePath).size() / 1e6);

    QTemporaryDir dir;
    const QString folder = AddPathSeparator(dir.path());
    const GameTableType games = MakeGameTable(folder);
    if (!WritePatternFile(games[size_t(space.game)].PatternFilePath,
                          QString::fromLatin1(space.draw))) {
        std::fprintf(stderr, "cannot write the pattern file\n");
        return 1;
    }
    BenchDialogs dialogs;
    Form1 w(folder, dialogs);
    w.show();
    Settle();
    ResultGrid *saved = w.FGkekka[1];
    ProgressWatch progress;
    app.installEventFilter(&progress);

    // Load.
    dialogs.fileName = spacePath;
    bool peakReset = ResetPeak();
    double before = StatusMegabytes("VmRSS");
    progress.reset();
    timer.start();
    w.CmdLoad_Click();
    Settle();
    Report("load (CmdLoad_Click, then the events)", timer, progress.note());
    ReportPeak("peak resident memory of the load", before, peakReset);
    ok = ok && saved->rowCount() == SpaceRows + 1
         && saved->text(int(SpaceRows), 0) == QString::number(SpaceRows);

    // The recovery copy: the window's thread copies the cells a slice at a
    // time between its events; the longest slice is what the window waits.
    {
        GridCellStore snapshot(1, 1);
        const GridCellStore &cells = saved->gridModel()->store();
        timer.start();
        snapshot.beginTextCopyOf(cells);
        double longest = timer.wall();
        Stopwatch whole;
        whole.start();
        for (bool done = false; !done;) {
            Stopwatch slice;
            slice.start();
            done = snapshot.continueTextCopyOf(cells, size_t(4) << 20);
            longest = std::max(longest, slice.wall());
        }
        Report("recovery snapshot, all slices", whole,
               QStringLiteral("longest slice %1 s").arg(longest, 0, 'f', 3));
    }

    // Save, to another file: the same bytes come out.
    dialogs.fileName = dir.filePath(QStringLiteral("saved.loto"));
    progress.reset();
    timer.start();
    w.CmdSave_Click();
    Settle();
    Report("save (CmdSave_Click)", timer, progress.note());
    const bool same = SameFiles(spacePath, dialogs.fileName);
    std::printf("  %-40s %s\n", "saved file equals the loaded one", same ? "yes" : "NO");
    ok = ok && same;
    QFile::remove(dialogs.fileName);

    // Judge against 1 2 3 ..., then the bonus numbers.
    w.CmdJudge_Click();
    DlgJudge *judge = w.judgeDialog();
    Settle();
    timer.start();
    judge->OKButton->click();
    Settle();
    Report("judge (判定, then the events)", timer);
    std::map<QString, qint64> tiers;
    for (const QString &line : MessageText(judge->Text1).split(QStringLiteral("\r\n")))
        ++tiers[line];
    std::printf("  tiers and near miss:");
    QString expected;
    for (const auto &line : space.lines) {
        const qint64 count = tiers[PrizeLine(space.game, int(line[0]), int(line[1]))];
        std::printf(" %lld", static_cast<long long>(count));
        expected += QLatin1Char(' ') + QString::number(line[2]);
        ok = ok && count == line[2];
    }
    std::printf("  (expected%s)\n", qPrintable(expected));
    // Scroll the output box: to the top, a hundred pages down, to the end.
    QScrollBar *lines = judge->Text1->verticalScrollBar();
    timer.start();
    lines->triggerAction(QAbstractSlider::SliderToMinimum);
    Settle();
    for (int page = 0; page < 100; ++page) {
        lines->triggerAction(QAbstractSlider::SliderPageStepAdd);
        judge->Text1->viewport()->repaint();
    }
    lines->triggerAction(QAbstractSlider::SliderToMaximum);
    Settle();
    Report("scroll the output box (102 repaints)", timer,
           QStringLiteral("%1 lines").arg(judge->Text1->lines().size()));
    timer.start();
    judge->close();
    Settle();
    Report("close the judgement dialog", timer);

    // Sort by a click on the header cell of 合計.
    Form1::SelectGridRange(saved, 1, SumColumn, int(SpaceRows), SumColumn);
    timer.start();
    w.SortGrid(1);
    Settle();
    Report("sort by 合計 (SortGrid)", timer);
    ok = ok && saved->text(1, SumColumn) == QLatin1String(space.smallestSum)
         && saved->text(int(SpaceRows), SumColumn) == QLatin1String(space.largestSum);

    // Files of bare line ends with a huge D: every byte an empty row. First
    // over the whole space still in the save area, then into an empty one.
    const QString bare = dir.filePath(QStringLiteral("bare.loto"));
    const int warningsBefore = dialogs.warnings;
    const struct
    {
        int mebibytes;
        bool overSpace;
    } bareFiles[] = {{48, true}, {16, false}, {48, false}};
    for (const auto &bareFile : bareFiles) {
        if (!WriteBareLineEnds(bare, qint64(bareFile.mebibytes) << 20)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(bare));
            return 1;
        }
        if (!bareFile.overSpace) {
            saved->setRowCount(1);
            Settle();
        }
        dialogs.fileName = bare;
        peakReset = ResetPeak();
        before = StatusMegabytes("VmRSS");
        timer.start();
        w.CmdLoad_Click();
        Settle();
        const QByteArray what = QByteArray::number(bareFile.mebibytes) + " MiB of bare line ends"
                                + (bareFile.overSpace ? " over the space" : "");
        Report(what.constData(), timer, QStringLiteral("%1 rows").arg(saved->rowCount() - 1));
        ReportPeak("  peak resident memory", before, peakReset);
    }
    QFile::remove(bare);
    // The 16 MiB file fits; the others stop at the row limit or the memory
    // share the whole space leaves them. Each load also says once that its
    // rows of bare numbers are no tickets.
    ok = ok && dialogs.warnings == warningsBefore + 2 + 3;

    std::printf("%s\n", ok ? "results checked" : "RESULTS WRONG");
    return ok ? 0 : 1;
}
