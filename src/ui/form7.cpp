#include "ui/form7.h"

#include "mbm/template_export.h"
#include "project/project_state.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include <QDir>

namespace {

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

QString placeholderHelp(QChar separator) {
    // <$path$> ends with the separator of the system the list was made on.
    const bool windows = separator == QLatin1Char('\\');
    return QStringLiteral("Repeated for every picture; these placeholders are filled in:\n"
                          "<$filename$>  the file name, e.g. image01.bmp\n"
                          "<$path$>  the folder, with its closing %1 (%2), e.g. %3\n"
                          "<$colour$>  the colour switch, e.g. /c4")
        .arg(windows ? QStringLiteral("backslash") : QStringLiteral("slash"), separator,
             windows ? QStringLiteral("c:\\test\\") : QStringLiteral("/home/user/test/"));
}

Form7::Form7(Form1& main) : ToolWindow(main) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("List export settings"));
    setFixedSize(px(7200), px(5400));

    Label1 = named(new QLabel(tr("Beginning of the file:"), this), "Label1");
    placeTw(Label1, 120, 180, 2400, 285);
    Text1 = named(new QLineEdit(kExportBeginDefault, this), "Text1");
    placeTw(Text1, 2640, 120, 4440, 315);

    Label2 = named(new QLabel(placeholderHelp(QDir::separator()), this), "Label2");
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTw(Label2, 120, 600, 6960, 1200);
    Text2 = named(new QPlainTextEdit(this), "Text2");
    // The editor keeps LF line ends; texts() turns them into CR LF.
    Text2->setPlainText(
        QString(kExportTemplateDefault).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text2->setTabChangesFocus(true);
    placeTw(Text2, 120, 1860, 6960, 2280);

    Label3 = named(new QLabel(tr("End of the file:"), this), "Label3");
    placeTw(Label3, 120, 4320, 2400, 285);
    Text3 = named(new QLineEdit(kExportEndDefault, this), "Text3");
    placeTw(Text3, 2640, 4260, 4440, 315);

    Command1 = named(new QPushButton(tr("OK"), this), "Command1");
    placeTw(Command1, 120, 4800, 1215, 375);
    Command1->setDefault(true);
    Command2 = named(new QPushButton(tr("Cancel"), this), "Command2");
    placeTw(Command2, 5865, 4800, 1215, 375);

    CommonDialog1 = new CommonDialog(main.interaction(), this);
    connect(Command1, &QPushButton::clicked, this, &Form7::command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form7::reject);
}

ExportTexts Form7::texts() const {
    return {Text1->text(), Text2->toPlainText(), Text3->text()};
}

void Form7::command1Click() {
    CommonDialog1->setFilter(kExportFilter);
    CommonDialog1->setFileName(exportNameFor(m_main.project().filename()));
    if (CommonDialog1->showSave()) {
        const Status s =
            writeTemplateExport(CommonDialog1->fileName(), texts(), m_main.list().entries());
        if (s)
            m_main.interaction().message(QStringLiteral("File saved"), QStringLiteral("Succes!"));
        else
            m_main.interaction().message(
                s.error + QStringLiteral("\nChoose another folder or file name and try again."),
                QStringLiteral("Error"));
    }
    close();
}
