#pragma once
// The page display: shows the composed page picture and reports the mouse as the page's
// handlers need it (press with the Ctrl state, click, double click, context menu).

#include <QImage>
#include <QWidget>

class Page_Display : public QWidget
{
    Q_OBJECT
public:
    explicit Page_Display(QWidget* parent);

    // Copies the page picture onto the display in one step.
    void Show_Page(const QImage& page);
    const QImage& Page() const { return m_page; }

signals:
    void Pressed(QPoint point, bool ctrl);
    void Clicked();
    void Double_Clicked();
    void Context_Menu(QPoint globalPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage m_page;
    bool m_pressed = false;
};
