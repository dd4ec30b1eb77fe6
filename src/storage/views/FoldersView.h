#pragma once

#include <functional>
#include <optional>
#include <QPointer>
#include <QWidget>

namespace QKLayout {
class Box;
class Item;
} // namespace QKLayout
class DraggableDivider;
class FileRevealer;
class FolderBrowserView;
class FolderTree;
class QKClampedText;
class QKModeHost;
class QKSpinner;
class QLabel;
class QPushButton;
class QScrollArea;
class ScreenState;
class SegmentedControl;
struct FolderEntry;

// The folders screen: what is on the computer and how much room it takes, in two modes picked in
// its header. "Browse" is the folder browser beside a detail side (what the selected entry is, a
// legend of the category colours, and a reminder that browsing changes nothing), with a splitter
// between them; "Biggest files" is the large-file pane, made by the factory handed in (the
// screen table passes the cleaning subsystem's pane).
//
// The screen keeps no state of its own: its mode, selection and splitter width are fields of
// ScreenState, so they survive navigation and a rebuilt screen. The selected entry is looked up
// by id in the tree's entries every time, so a selection the tree no longer lists shows the
// prompt, never a stale entry. Shown with an empty, idle tree, it lists the home folder from the
// top; otherwise it leaves the tree where the user left it. revealer null: "Show in File Manager"
// does nothing; biggestPane empty: the biggest-files mode shows nothing.
class FoldersView : public QWidget {
    Q_OBJECT
public:
    using PaneFactory = std::function<QWidget*(QWidget* parent)>;

    static constexpr double minSideWidth = 200;
    static constexpr double maxSideWidth = 460;

    FoldersView(FolderTree& tree, ScreenState& screen, FileRevealer* revealer,
                PaneFactory biggestPane, QWidget* parent = nullptr);

    // The entry whose id is the selection, if the tree lists it.
    std::optional<FolderEntry> selectedEntry() const;
    void lookInside();
    void revealSelection();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildBrowse(QWidget* parent);
    QWidget* buildBiggest(QWidget* parent);
    QScrollArea* buildSide(QWidget* parent);
    // The selected entry: its name, size, files, category, date and its two actions.
    QKLayout::Item entryDetail(QWidget* side);
    // The colour legend of the side, one row a category.
    QKLayout::Box legend(QWidget* side);
    void refreshDetail();
    // The side at the divider's width, or wider where its widest button needs it.
    void applyWidth(double width);
    void offerWholeName();

    QPointer<FolderTree> m_tree;
    QPointer<ScreenState> m_screen;
    FileRevealer* m_revealer;
    PaneFactory m_biggestFactory;

    SegmentedControl* m_modes = nullptr;
    QKModeHost* m_body = nullptr;
    QWidget* m_biggest = nullptr;
    FolderBrowserView* m_browser = nullptr;
    DraggableDivider* m_divider = nullptr;
    QScrollArea* m_side = nullptr;
    QWidget* m_sideContent = nullptr;
    QWidget* m_prompt = nullptr;
    QWidget* m_detail = nullptr;
    QLabel* m_icon = nullptr;
    QKClampedText* m_name = nullptr;
    QWidget* m_measuring = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_files = nullptr;
    QWidget* m_category = nullptr;
    QLabel* m_categoryTitle = nullptr;
    QLabel* m_categoryDescription = nullptr;
    QLabel* m_modified = nullptr;
    QWidget* m_cloud = nullptr;
    QPushButton* m_lookInside = nullptr;
    QPushButton* m_reveal = nullptr;
};
