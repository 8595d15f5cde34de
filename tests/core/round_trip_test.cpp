// Open followed by Save of every real archive, through the reading run and the save path:
// the saved archive lists like the original and splits into the very same bitmaps.
#include "jobs/text_file.h"
#include "mbm/picture_conversion.h"
#include "mbm/reading_run.h"
#include "mbm/save_build.h"
#include "support/read_support.h"
#include "support/save_support.h"

#include <QDirIterator>
#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace save_support;

namespace {

/// The converter's listing of `name` in `folder`, as the SDK listing was made.
QStringList listing(const QString& folder, const QString& name) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(binDir() + QStringLiteral("/bmconv.exe"), {QStringLiteral("/v"), name});
    if (!p.waitForFinished(60000)) return {};
    QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

/// The listing without the version line (3), and with the twips of every bitmap whose
/// original twips were not 0 x 0 blanked (a split keeps no resolution).
QStringList comparable(QStringList lines, const QStringList& original) {
    for (int i = 0; i < lines.size(); ++i) {
        if (i == 2) lines[i].clear();
        if (lines[i].startsWith(QLatin1String("Twips size")) &&
            original.value(i) != QLatin1String("Twips size 0 x 0"))
            lines[i].clear();
    }
    return lines;
}

/// Opens `archive` into a project and saves it under its own name into `out`, as Open and
/// Save do; returns the saved archive's path, empty when a step failed.
QString openAndSave(const TempProgramFolder& pf, const QString& archive, const QString& out,
                    Project& project) {
    ScriptedInteraction ui;
    StatusRecorder status;
    const ReadingOptions reading = quickReading();
    const QString name = QFileInfo(archive).fileName();
    const ReadingOutcome read =
        runReading(pf.folder(), archive, name, status, ui, project, reading);
    EXPECT_EQ(read.kind, ReadingOutcome::Extracted) << name.toStdString();
    EXPECT_TRUE(ui.messages.empty()) << name.toStdString();
    if (read.kind != ReadingOutcome::Extracted) return {};

    const QString target = QDir(out).filePath(name);
    const SavePlan plan =
        makeSavePlan(pf.folder(), project.list().entries(), name, target, {read.type, false});
    BuildInputs inputs{prepareSave(quickWorkFolders(pf.folder()), plan), {}};
    for (const PictureJob& j : plan.pictures)
        if (Status s = convertPicture(j.dir + j.name, plan.folder.inTemp(j.workName),
                                      WriteMode::Direct, j.keepAlpha);
            !s)
            inputs.unconvertedPictures << s.error;
    const Status built = runBuild(plan, inputs, status, shortPauses());
    EXPECT_TRUE(built.ok) << built.error.toStdString();
    // The clean-up batch of the build must not outlive the test.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !QFile::exists(pf.folder().inTemp(QStringLiteral("cleanup.bat"))); }, 20000));
    return built ? target : QString();
}

std::vector<std::string> realArchives() {
    const QDir dir(testdata() + QStringLiteral("/real-mbm"));
    std::vector<std::string> names;
    for (const QString& n : dir.entryList({QStringLiteral("*.mbm")}, QDir::Files, QDir::Name))
        names.push_back(n.toStdString());
    return names;
}

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, ListsAndSplitsAsBefore) {
    const QString name = QString::fromStdString(GetParam());
    TempProgramFolder pf;
    QTemporaryDir out;
    Project project;
    const QString original = testdata() + QStringLiteral("/real-mbm/") + name;
    const QString saved = openAndSave(pf, original, out.path(), project);
    ASSERT_FALSE(saved.isEmpty());

    QString v = original;
    v.replace(QLatin1String(".mbm"), QLatin1String(".v.txt"));
    const QStringList before = readLines(v);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(comparable(listing(out.path(), name), before), comparable(before, before));

    // The saved archive splits into the bitmaps (and alpha files) the original gave.
    QStringList args{QStringLiteral("/u"), name};
    for (int k = 0; k < project.list().count(); ++k)
        args << QStringLiteral("s%1.bmp").arg(k);
    ASSERT_EQ(runBmconv(out.path(), args), 0);
    for (int k = 0; k < project.list().count(); ++k) {
        const QString mine = QDir(out.path()).filePath(QStringLiteral("s%1.bmp").arg(k));
        const QString theirs = pf.folder().inTempextract(project.list().at(k).name);
        EXPECT_EQ(readAll(mine), readAll(theirs)) << k;
        EXPECT_EQ(readAll(alphaFileName(mine)), readAll(alphaFileName(theirs))) << k;
    }
}

// Every sound archive of the real corpus (the damaged ones lie in a folder of their own).
INSTANTIATE_TEST_SUITE_P(RealArchives, RoundTrip, ::testing::ValuesIn(realArchives()),
                         [](const auto& info) {
                             std::string n = info.param.substr(0, info.param.size() - 4);
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

} // namespace
