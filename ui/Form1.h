#pragma once
// The main window: keyword box, result list, button row, edit boxes, menu,
// made from the form's table (app/MainForm.h), whose names the widgets take.
// The rules live in app::Window; this form shows what they say and passes
// clicks on.

#include <QMainWindow>
#include <QMargins>
#include <map>
#include <vector>

#include "app/Commands.h"
#include "app/Prompts.h"
#include "app/View.h"
#include "app/Window.h"
#include "ui/FormWidgets.h"
#include "ui/Layout.h"
#include "ui/QtScheduler.h"
#include "ui/ResultListModel.h"

class QAction;
class QComboBox;
class QCompleter;
class QTimer;

namespace brim::ui {

class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class Form8;

class Form1 final : public QMainWindow, private app::View, private app::CommandHost {
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
    std::string text(app::Id box) const override;
    void setText(app::Id box, const std::string& text) override;
    void setKeywordItems(const std::vector<std::string>& items) override;
    void offerKeywords(const std::vector<std::string>& offers) override;
    void setSizeTwips(app::Twips size, app::Sizing sizing) override;
    app::Twips positionTwips() const override;
    void moveTwips(app::Twips position) override;
    void setComboWidthTwips(int width) override;
    void setGoVisible(bool visible) override;
    void setMenuEnabled(app::Id item, bool enabled) override;
    void setMenuChecked(app::Id item, bool checked) override;
    void setTopmost(bool topmost) override;
    void focus(app::Id control) override;
    void showWindow() override;

    // app::CommandHost
    void showDialog(app::Dialog dialog) override;
    void quit() override { shutDown(); }

    void buildControls();
    void buildMenu();
    template <class W>
    W* control(app::Id id) const {
        return controls_.get<W>(+id);
    }
    QTreeView* list() const;
    QComboBox* keywordBox() const;
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
    bool closing_ = false;

    // The outer size the rules set, in pixels, and whether it is the least.
    QSize outer_;
    app::Sizing sizing_ = app::Sizing::Exact;
    // The client area that gives that outer size with the frame last seen;
    // the controls sit at their places in the form in it.
    QSize formClient_;
    QMargins frame_;
    QTimer* frameWatch_ = nullptr;  // looks for the frame a while after showing
    int frameLooks_ = 0;
    struct Following {
        QWidget* widget;
        QRect place;  // in the form, pixels
        app::Follow follow;
    };
    std::vector<Following> following_;
    QSize stretch_;            // how much larger the client area is than the layout's
    std::vector<int> fifths_;  // the list's columns' widths, in fifths of its own

    FormWidgets controls_;
    std::map<int, QAction*> actions_;      // the menu items by id
    QCompleter* keywordOffers_ = nullptr;  // the entries offered while typing
    QTimer* Timer1 = nullptr;
};

}  // namespace brim::ui
