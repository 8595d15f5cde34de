// The templated list export: filled-in lines and the written file.
#include "mbm/template_export.h"

#include "support/test_support.h"

#include <QTemporaryDir>

using namespace testing_support;

namespace {

struct ExportCase {
    const char* name;
    ExportTexts texts;
    std::vector<BitmapEntry> entries;
    QStringList expected; // lines, each written with CR LF after it
};

const ExportTexts kDefaults{kExportBeginDefault, kExportTemplateDefault, kExportEndDefault};

std::vector<ExportCase> exportCases() {
    return {
        {"default texts, one entry",
         kDefaults,
         {{"/c8", "C:\\Pics\\", "a.bmp"}},
         {"Text @ begining of file ",
          "copy C:\\Pics\\a.bmp to c:\\images\\\r\n"
          "echo \"a.bmp was copied\"\r\n",
          "Text @ ending of file"}},
        {"drive root folder joins directly",
         {"", "<$path$><$filename$>", ""},
         {{"/c24", "C:\\", "b.gif"}},
         {"", "C:\\b.gif", ""}},
        {"no placeholder is written once per entry",
         {"B", "rem same", "E"},
         {{"/1", "C:\\", "x.bmp"}, {"/2", "D:\\y\\", "y.bmp"}},
         {"B", "rem same", "rem same", "E"}},
        {"every occurrence and every placeholder",
         {"B", "<$colour$> <$filename$> <$filename$> <$path$><$colour$>", "E"},
         {{"/c12", "c:\\test\\", "image01.bmp"}},
         {"B", "/c12 image01.bmp image01.bmp c:\\test\\/c12", "E"}},
        {"other letter case is not a placeholder",
         {"B", "<$FILENAME$> <$Path$> <$colour$>", "E"},
         {{"/c4", "C:\\", "a.bmp"}},
         {"B", "<$FILENAME$> <$Path$> /c4", "E"}},
        {"passes run filename, path, colour in turn",
         {"B", "<$filename$>", "E"},
         {{"/c4", "C:\\p\\", "<$path$><$colour$>.bmp"}},
         {"B", "C:\\p\\/c4.bmp", "E"}},
        {"an emptied list gives the begin and end texts only",
         kDefaults,
         {},
         {"Text @ begining of file ", "Text @ ending of file"}},
        {"LF line ends in the template become CR LF",
         {"B", "one\ntwo\rthree\r\n", "E"},
         {{"/c8", "C:\\", "a.bmp"}},
         {"B", "one\r\ntwo\r\nthree\r\n", "E"}},
    };
}

} // namespace

TEST(TemplateExport, LinesFollowTheTemplate) {
    for (const ExportCase& c : exportCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(exportLines(c.texts, c.entries), c.expected);
    }
}

TEST(TemplateExport, DefaultsWriteExactlyFiveLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.bat");
    // An older, longer file of that name is replaced, not appended to.
    writeAll(path, QByteArray(500, 'x'));
    ASSERT_TRUE(writeTemplateExport(path, kDefaults, {{"/c8", "C:\\Pics\\", "a.bmp"}}));
    EXPECT_EQ(readAll(path), QByteArray("Text @ begining of file \r\n"
                                        "copy C:\\Pics\\a.bmp to c:\\images\\\r\n"
                                        "echo \"a.bmp was copied\"\r\n"
                                        "\r\n"
                                        "Text @ ending of file\r\n"));
}

TEST(TemplateExport, UnwritableFileFailsWithItsName) {
    QTemporaryDir dir;
    // A folder standing where the file should go cannot be opened for writing.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.txt"));
    const Status s = writeTemplateExport(dir.filePath("taken.txt"), kDefaults, {});
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains("taken.txt")) << s.error.toStdString();
}
