// The About window: what the program is for, the user guide and the maker's site.
#pragma once
#include "ui/tool_window.h"

#include <QLabel>
#include <functional>

class ProgramFolder;

/// The maker's home page, installed beside the program so it opens without a network.
inline const QString kMakerPageFile = QStringLiteral("home.html");
inline const QString kMakerName = QStringLiteral("MBM Zembrel project");
/// The user guide installed beside the program.
inline const QString kUserGuideFile = QStringLiteral("userguide.html");

/// The address of the user guide in the program folder, as a file:// URL.
QString userGuideUrl(const ProgramFolder& pf);
/// The address of the maker's home page in the program folder, as a file:// URL.
QString makerPageUrl(const ProgramFolder& pf);

class Interaction;

/// Opens the page `url` with `open`. A local page that is missing, or a browser that cannot
/// be started, is reported through `ui` under "Error".
void openPage(Interaction& ui, const std::function<bool(const QString&)>& open, const QString& url);

/// A label that reports a click, drawn as a link: blue, underlined, "MS Sans Serif" at
/// 8.25 points where that font exists.
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& text, QWidget* parent);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

/// `Form5`. Label1 says what the program is for; Label3 opens the user guide, Label5 the
/// maker's site, each click starting one browser request without waiting. The window has
/// no buttons: it closes from its title bar (or with Escape).
class Form5 : public ToolWindow {
    Q_OBJECT
  public:
    /// Starts the browser on an address; false when nothing could be started.
    using UrlOpener = std::function<bool(const QString&)>;

    explicit Form5(Form1& main);
    /// Replaces the way addresses are opened (platform::openUrl by default).
    void setUrlOpener(UrlOpener opener) { m_open = std::move(opener); }

    /// Opens `url`; when the browser cannot be started the user is told under "Error".
    void openLink(const QString& url);

    QLabel* Label1;
    LinkLabel* Label3;
    QLabel* Label4;
    LinkLabel* Label5;

  private:
    UrlOpener m_open;
};
