#include "app/start/TStartOptions.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TRun
{
    int Status = -1;
    QString Output;  // standard output
    QString Errors;  // standard error
};

// The built program, as a script calls it: no display of any kind, standard
// error no terminal.
TRun RunParzello(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(PARZELLO_PROGRAM), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(CommandLine, ReadsSizesPresetsAndRefusesWhatIsNoCall)
{
    const auto read = [](const QStringList& line) { return TStartOptions(QStringList{"parzello"} + line); };
    EXPECT_EQ(read({"--split", "a", "--size", "700M"}).PieceSize(), 734003200);
    EXPECT_EQ(read({"--split=a", "--size=1KB"}).PieceSize(), 1000);
    EXPECT_EQ(read({"--split", "a", "--pre=dvd-dl"}).PieceSize(), 8543666176);
    EXPECT_EQ(read({"--split", "a"}).PieceSize(), 1457664);
    const TStartOptions join = read({"--join", "-x.0001", "--replace"});
    EXPECT_EQ(join.Action(), TStartOptions::TAction::Join);
    EXPECT_EQ(join.WorkPath(), "-x.0001");
    EXPECT_TRUE(join.Replace());
    EXPECT_EQ(read({"--", "--split"}).File(), QStringLiteral("--split"));
    EXPECT_EQ(read({"--split", "a", "--bogus", "--help"}).Action(), TStartOptions::TAction::Help);
    for (const QStringList& wrong : QList<QStringList>{{"--split"},
                                                       {"--split", "a", "--size", "0"},
                                                       {"--split", "a", "--size", "9999999999T"},
                                                       {"--split", "a", "--size", "12Q"},
                                                       {"--split", "a", "--preset", "cd", "--size", "1"},
                                                       {"--split", "a", "--join", "b.0001"},
                                                       {"--join", "b.0001", "--size", "1"},
                                                       {"--split", "a", "--replace"},
                                                       {"--split", "a", "b"},
                                                       {"--s", "a"},
                                                       {"-q"}}) {
        const TStartOptions options = read(wrong);
        EXPECT_EQ(options.Action(), TStartOptions::TAction::UsageError) << wrong.join(' ').toStdString();
        EXPECT_FALSE(options.Problem().empty());
    }
}

TEST(CommandLine, AnswersWithoutADisplay)
{
    QTemporaryDir folder;
    const TRun version = RunParzello({"--version"}, folder.path());
    EXPECT_EQ(version.Status, 0) << version.Errors.toStdString();
    EXPECT_EQ(version.Output, QStringLiteral("parzello " PARZELLO_VERSION "\n"));
    const TRun help = RunParzello({"--help"}, folder.path());
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Output.toStdString(), TStartOptions::HelpText());
    // The window without a window system: a German answer, not Qt's abort.
    const TRun noDisplay = RunParzello({folder.path()}, folder.path());
    EXPECT_EQ(noDisplay.Status, 1);
    EXPECT_TRUE(noDisplay.Errors.contains(QStringLiteral("keine grafische Anzeige"))) << noDisplay.Errors.toStdString();
    // Qt's own options still reach Qt when the window opens.
    const TRun window = RunParzello({"-platform", "offscreen", "--quit-when-shown"}, folder.path());
    EXPECT_EQ(window.Status, 0) << window.Errors.toStdString();
    const TRun wrong = RunParzello({"--split", folder.path(), "--size", "viel"}, folder.path());
    EXPECT_EQ(wrong.Status, 2);
    EXPECT_TRUE(wrong.Errors.contains(QStringLiteral("ungültige Größe „viel“"))) << wrong.Errors.toStdString();
}

// Split and join without a window: the series proves itself to sha256sum, the
// join rebuilds the file, and a file of its name is kept unless --replace says otherwise.
TEST(CommandLine, SplitsAndJoinsWithExitStatusesAndNeverAsks)
{
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("film.avi"));
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(char(i * 7 + i / 256));
    WriteAll(source, bytes);

    const TRun split = RunParzello({"--split", "film.avi", "--size", "1K"}, folder.path());
    ASSERT_EQ(split.Status, 0) << split.Errors.toStdString();
    EXPECT_TRUE(split.Errors.contains(QStringLiteral("Die Datei wurde in 3 Teile aufgeteilt.")))
        << split.Errors.toStdString();
    EXPECT_EQ(ReadAll(folder.filePath(QStringLiteral("film.avi.0003"))), bytes.mid(2048));
    QProcess check;
    check.setWorkingDirectory(folder.path());
    check.start(QStringLiteral("sha256sum"), {"-c", "--strict", "film.avi.sha256"});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();

    // An existing file is kept without --replace: the exit says so.
    WriteAll(source, "older");
    const TRun kept = RunParzello({"--join", "film.avi.0002"}, folder.path());
    EXPECT_EQ(kept.Status, 1);
    EXPECT_TRUE(kept.Errors.contains(QStringLiteral("--replace"))) << kept.Errors.toStdString();
    EXPECT_EQ(ReadAll(source), QByteArray("older"));
    const TRun replaced = RunParzello({"--join", "film.avi.0002", "--replace"}, folder.path());
    EXPECT_EQ(replaced.Status, 0) << replaced.Errors.toStdString();
    EXPECT_EQ(ReadAll(source), bytes);
    EXPECT_TRUE(replaced.Errors.contains(QStringLiteral("Prüfsummen geprüft: 3 Teile in Ordnung.")));

    ASSERT_TRUE(QFile::remove(source));
    EXPECT_EQ(RunParzello({"--join", "film.avi.0001"}, folder.path()).Status, 0);
    EXPECT_EQ(ReadAll(source), bytes);

    // Failures: a damaged piece, a name that is no piece, a missing source.
    WriteAll(folder.filePath(QStringLiteral("film.avi.0002")), bytes.mid(1024, 1024).replace(5, 1, "!"));
    const TRun damaged = RunParzello({"--join", "film.avi.0001", "--replace"}, folder.path());
    EXPECT_EQ(damaged.Status, 1);
    EXPECT_TRUE(damaged.Errors.contains(QStringLiteral("beschädigt"))) << damaged.Errors.toStdString();
    EXPECT_EQ(ReadAll(source), bytes);
    EXPECT_EQ(RunParzello({"--join", "film.avi"}, folder.path()).Status, 1);
    EXPECT_EQ(RunParzello({"--split", "fehlt.bin"}, folder.path()).Status, 1);
}

}  // namespace
