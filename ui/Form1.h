#pragma once
// The main window: keyword box, result list, button row, edit boxes, menu.
// Names are the form's own: Command1 … Command11, Text2 … Text6,
// Label1 … Label7, Combo1, ListView1, Timer1, and the menu items. The rules
// live in app::Window; this form shows what they say and passes clicks on.

#include <QMainWindow>
#include <QMargins>
#include <vector>

#include "app/Prompts.h"
#include "app/View.h"
#include "app/Window.h"
#include "platform/BrowserProfiles.h"
#include "ui/Layout.h"
#include "ui/QtScheduler.h"
#include "ui/ResultListModel.h"

class QAction;
class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTimer;
class QTreeView;

namespace brim::ui {

class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class Form8;

class Form1 final : public QMainWindow, private app::View {
    Q_OBJECT
  public:
    Form1(app::Services services, app::Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: settings, window mode and position, the first fill; `argument`
    // is the program's command line taken whole (a favorite's path, or empty).
    void startUp(const QString& argument);

    // The rules behind the window, for tools that drive it without clicks
    // (the help pictures, the benchmarks).
    app::Window& rules() { return window_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // app::View
    void setColumns(const std::vector<std::string>& headers,
                    const std::vector<int>& fifths) override;
    void setRows(const std::vector<app::Row>& rows) override;
    void addRows(const std::vector<app::Row>& rows) override;
    void setBusy(bool busy) override;
    void setRow(int row, const app::Row& cells) override;
    void setSortIndicator(int column, bool descending) override;
    void selectRow(int row) override;
    void setCount(const std::string& caption) override;
    std::string text(app::Box box) const override;
    void setText(app::Box box, const std::string& text) override;
    void setKeywordItems(const std::vector<std::string>& items) override;
    void offerKeywords(const std::vector<std::string>& offers) override;
    void setSizeTwips(app::Twips size, app::Sizing sizing) override;
    app::Twips positionTwips() const override;
    void moveTwips(app::Twips position) override;
    void setComboWidthTwips(int width) override;
    void setGoVisible(bool visible) override;
    void setMenuEnabled(app::MenuItem item, bool enabled) override;
    void setMenuChecked(app::MenuItem item, bool checked) override;
    void setTopmost(bool topmost) override;
    void focus(app::Focus control) override;
    void showWindow() override;

    void buildControls();
    void buildMenu();
    void applyTabOrder();
    QLineEdit* lineEdit(app::Box box) const;
    void shutDown();
    // Sizes the window so that its frame, title and border included, has the
    // outer size the rules set; the frame is known only once the window
    // manager has framed the window, and the size is set again then.
    void fitFrame();
    void fitFrameWhenItChanged();
    // Places what follows an enlarged window.
    void relayout();
    // The list's columns share its width as their fifths say.
    void fitColumns();
    // The dialogs, each created on first use.
    Form2& form2();
    Form3& form3();
    Form4& form4();
    Form5& form5();
    Form6& form6();
    Form7& form7();
    Form8& form8();

    app::Prompts& prompts_;
    ResultListModel model_;
    QtScheduler scheduler_{this};  // outlives the rules, which wait for their walks
    app::Window window_;
    Form2* form2_ = nullptr;
    Form3* form3_ = nullptr;
    Form4* form4_ = nullptr;
    Form5* form5_ = nullptr;
    Form6* form6_ = nullptr;
    Form7* form7_ = nullptr;
    Form8* form8_ = nullptr;
    std::unique_ptr<platform::BrowserProfiles> browsers_;  // for the import, on first use
    bool closing_ = false;

    // The outer size the rules set, in pixels, and whether it is the least.
    QSize outer_;
    app::Sizing sizing_ = app::Sizing::Exact;
    // The client area that gives that outer size with the frame last seen;
    // the controls sit in it where the form lays them out.
    QSize formClient_;
    QMargins frame_;
    QTimer* frameWatch_ = nullptr;  // looks for the frame a while after showing
    int frameLooks_ = 0;
    struct Following {
        QWidget* widget;
        QRect place;  // pixels, as laid out in the form
        Follow follow;
    };
    std::vector<Following> following_;
    std::vector<int> fifths_;  // the list's columns' widths, in fifths of its own

    // Controls, named as in the form.
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QCompleter* keywordOffers_ = nullptr;  // the entries offered while typing
    QPushButton* Command11 = nullptr;
    QToolButton* Command10 = nullptr;
    QLabel* Label7 = nullptr;
    QTimer* Timer1 = nullptr;
    QTreeView* ListView1 = nullptr;
    QToolButton* Command6 = nullptr;
    QToolButton* Command2 = nullptr;
    QToolButton* Command1 = nullptr;
    QToolButton* Command8 = nullptr;
    QToolButton* Command4 = nullptr;
    QToolButton* Command5 = nullptr;
    QToolButton* Command9 = nullptr;
    QToolButton* Command3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QToolButton* Command7 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPlainTextEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    // Menu items.
    QAction* savemenu = nullptr;
    QAction* Mdelete = nullptr;
    QAction* delfolder = nullptr;
    QAction* fixNames = nullptr;
    QAction* openurl = nullptr;
    QAction* mkHTML = nullptr;
    QAction* importmenu = nullptr;
    QAction* exitprogram = nullptr;
    QAction* autoCP = nullptr;
    QAction* setHTML = nullptr;
    QAction* setKEYWORD = nullptr;
    QAction* everfront = nullptr;
    QAction* clearKey = nullptr;
    QAction* PKEYS = nullptr;
    QAction* toCSV = nullptr;
    QAction* toBookmarks = nullptr;
    QAction* mkstcut = nullptr;
    QAction* ophelp = nullptr;
    QAction* showV = nullptr;
};

}  // namespace brim::ui
