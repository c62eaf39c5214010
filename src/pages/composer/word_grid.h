#pragma once

#include <QTableWidget>
#include <functional>

namespace quorvane {

// The composer's word grid: every cell visible, no in-place editing, and one
// selection callback for a left click on a cell (a double-click counting once)
// and for a navigation key that moves the current cell.
class WordGrid : public QTableWidget {
  public:
    WordGrid(int columns, int rows, QWidget* parent = nullptr);

    void SetSelectionHandler(std::function<void()> handler) { onSelect_ = std::move(handler); }
    // The press that is being delivered only brought the focus in: it must neither
    // select a cell nor count as a click, nor may its drag or release.
    void IgnoreCurrentPress();
    // Whether the grid last took the keyboard focus because of a mouse button.
    bool FocusCameByMouse() const { return focusReason_ == Qt::MouseFocusReason; }

    void keyboardSearch(const QString&) override {}
    // A cell's text as the grid shows it: on one line, each line break (with the
    // blanks around it) as one blank.
    static QString ShownText(const QString& text);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Sizes the columns to their widest words, and where the grid is too narrow
    // for that, wraps the words and gives the rows the height they then need.
    void FitCells();
    int CellWidth(const QString& text) const;
    int CellHeight(int row, int column, int width) const;

    std::function<void()> onSelect_;
    bool ignorePress_ = false;
    bool ignoringPress_ = false;  // from an ignored press until its release
    bool pressedOnCell_ = false;
    bool inDoubleClick_ = false;
    Qt::FocusReason focusReason_ = Qt::NoFocusReason;
};

}  // namespace quorvane
