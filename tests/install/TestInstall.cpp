#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kAppId = QStringLiteral(PARZELLO_APP_ID);

struct TToolRun
{
    int ExitCode = -1;
    QString Output;
};

TToolRun RunTool(const QString& program, const QStringList& arguments, const QString& workDir = QString())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(program, arguments);
    // Only against a hang: packing and starting take seconds.
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return {-1, program + QStringLiteral(" did not end: ") + QString::fromLocal8Bit(process.readAll())};
    }
    const int exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {exitCode, QString::fromLocal8Bit(process.readAll())};
}

// The Debian packages holding the libraries `binary` names itself (its
// NEEDED entries), found where the dynamic loader finds them.
QSet<QString> PackagesOfDirectLibraries(const QString& binary)
{
    QSet<QString> needed;
    const QRegularExpression neededLine(QStringLiteral(R"(\(NEEDED\).*\[(.+)\])"));
    for (const QString& line : RunTool(QStringLiteral("readelf"), {QStringLiteral("-d"), binary}).Output.split('\n')) {
        const auto match = neededLine.match(line);
        if (match.hasMatch())
            needed.insert(match.captured(1));
    }
    // With the merged /usr, dpkg knows a library under one of its two paths: ask for both, at once.
    QHash<QString, QStringList> pathsOfLibrary;
    QStringList paths;
    const QRegularExpression resolvedLine(QStringLiteral(R"(^\s*(\S+) => (/\S+))"));
    for (const QString& line : RunTool(QStringLiteral("ldd"), {binary}).Output.split('\n')) {
        const auto match = resolvedLine.match(line);
        if (!match.hasMatch() || !needed.contains(match.captured(1)))
            continue;
        const QString path = match.captured(2);
        const QString otherPath = path.startsWith(QLatin1String("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path;
        pathsOfLibrary[match.captured(1)] = {path, otherPath};
        paths << path << otherPath;
    }
    EXPECT_EQ(pathsOfLibrary.size(), needed.size()) << "ldd did not resolve every library of " << binary.toStdString();
    QHash<QString, QString> packageOfPath;
    for (const QString& line :
         RunTool(QStringLiteral("dpkg"), QStringList{QStringLiteral("-S")} + paths).Output.split('\n')) {
        const qsizetype separator = line.indexOf(QLatin1String(": /"));
        if (separator > 0)
            packageOfPath.insert(line.mid(separator + 2), line.left(separator).section(QLatin1Char(':'), 0, 0));
    }
    QSet<QString> packages;
    for (auto library = pathsOfLibrary.cbegin(); library != pathsOfLibrary.cend(); ++library) {
        const QString package = packageOfPath.value(library.value()[0], packageOfPath.value(library.value()[1]));
        EXPECT_FALSE(package.isEmpty()) << "no package holds " << library.key().toStdString();
        packages.insert(package);
    }
    EXPECT_FALSE(packages.isEmpty()) << "readelf or ldd found no libraries of " << binary.toStdString();
    return packages;
}

// The package names of a Depends field, without versions or alternatives' details.
QSet<QString> DependedPackages(const QString& field)
{
    QSet<QString> packages;
    for (const QString& entry : field.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts))
        packages.insert(entry.section(QLatin1Char('('), 0, 0).trimmed());
    return packages;
}

TEST(DesktopIntegration, TheDesktopEntryAndTheMetadataPassTheValidators)
{
    const TToolRun entry = RunTool(QStringLiteral("desktop-file-validate"), {QStringLiteral(DESKTOP_FILE)});
    EXPECT_EQ(entry.ExitCode, 0) << entry.Output.toStdString();
    // Warnings count as failures too.
    EXPECT_TRUE(entry.Output.trimmed().isEmpty()) << entry.Output.toStdString();

    const TToolRun metadata =
        RunTool(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                 QStringLiteral("--strict"), QStringLiteral(METAINFO_FILE)});
    EXPECT_EQ(metadata.ExitCode, 0) << metadata.Output.toStdString();
}

TEST(DesktopIntegration, TheDebianPackageInstallsIntoAnEmptyRootAndTheProgramStartsThere)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString packageDir = work.filePath(QStringLiteral("package"));
    const QString root = work.filePath(QStringLiteral("root"));

    const TToolRun packed = RunTool(QStringLiteral(CPACK_COMMAND),
                                    {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                     QStringLiteral(CPACK_CONFIG), QStringLiteral("-B"), packageDir},
                                    work.path());
    ASSERT_EQ(packed.ExitCode, 0) << packed.Output.toStdString();
    const QStringList debs = QDir(packageDir).entryList({QStringLiteral("*.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << packed.Output.toStdString();
    const QString deb = QDir(packageDir).filePath(debs.first());
    const TToolRun unpacked = RunTool(QStringLiteral("dpkg"), {QStringLiteral("-x"), deb, root});
    ASSERT_EQ(unpacked.ExitCode, 0) << unpacked.Output.toStdString();

    // Each file where the freedesktop specifications look, under the id's name.
    QStringList installed = {QStringLiteral("usr/bin/parzello"),
                             QStringLiteral("usr/share/applications/%1.desktop").arg(kAppId),
                             QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(kAppId),
                             QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(kAppId)};
    installed << QStringLiteral("usr/share/man/man1/parzello.1.gz")
              << QStringLiteral("usr/share/man/de/man1/parzello.1.gz");
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        installed << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
    for (const QString& file : installed)
        EXPECT_TRUE(QFileInfo(QDir(root).filePath(file)).isFile()) << file.toStdString();
    // The entry, the metadata and the icon as one tree: they must agree on the id.
    const TToolRun tree =
        RunTool(QStringLiteral("appstreamcli"), {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), root});
    EXPECT_EQ(tree.ExitCode, 0) << tree.Output.toStdString();

    // Every library the program names comes from a package it depends on;
    // the sanitizer runtimes belong to the test build alone.
    const QString program = QDir(root).filePath(QStringLiteral("usr/bin/parzello"));
    const TToolRun depends =
        RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")});
    const QSet<QString> depended = DependedPackages(depends.Output);
    const QSet<QString> sanitizerRuntimes = {QStringLiteral("libasan8"), QStringLiteral("libubsan1")};
    for (const QString& package : PackagesOfDirectLibraries(program)) {
        if (sanitizerRuntimes.contains(package))
            continue;
        EXPECT_TRUE(depended.contains(package))
            << package.toStdString() << " missing in " << depends.Output.toStdString();
    }

    // A Wayland session, where Debian's desktops start, needs Qt's Wayland plugin.
    EXPECT_TRUE(depended.contains(QStringLiteral("qt6-wayland"))) << depends.Output.toStdString();
    // The manual pages read without a warning of man's formatter.
    for (const char* page : {"usr/share/man/man1/parzello.1.gz", "usr/share/man/de/man1/parzello.1.gz"}) {
        const TToolRun shown = RunTool(
            QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("zcat \"$0\" | groff -k -man -Tutf8 -ww -z"),
                                   QDir(root).filePath(QLatin1String(page))});
        EXPECT_EQ(shown.ExitCode, 0) << page;
        EXPECT_TRUE(shown.Output.isEmpty()) << page << ": " << shown.Output.toStdString();
    }

    // The installed program, started from outside the build tree, shows its
    // window and ends after the first paint.
    const TToolRun started = RunTool(program, {QStringLiteral("--quit-when-shown")}, work.path());
    EXPECT_EQ(started.ExitCode, 0) << started.Output.toStdString();
}

}  // namespace
