#include "PageDisplay.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cstring>

Page_Display::Page_Display(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("THB_DSP"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void Page_Display::Show_Page(const QImage& page)
{
    // The display keeps a picture of its own, so that composing the next page off screen
    // never touches what is on show.
    if (m_page.size() == page.size() && m_page.format() == page.format() && m_page.isDetached() &&
        m_page.sizeInBytes() == page.sizeInBytes())
        std::memcpy(m_page.bits(), page.constBits(), size_t(page.sizeInBytes()));
    else
        m_page = page.copy();
    update();
}

void Page_Display::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, m_page);
}

void Page_Display::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        emit Pressed(event->position().toPoint(), event->modifiers().testFlag(Qt::ControlModifier));
    }
    setFocus(Qt::MouseFocusReason);
    event->accept(); // the page handles its own presses; the window behind must not see them
}

void Page_Display::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and release of the left button; the release that ends a double
    // click is no further click.
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        emit Clicked();
    }
    QWidget::mouseReleaseEvent(event);
}

void Page_Display::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        emit Double_Clicked();
    }
}

void Page_Display::contextMenuEvent(QContextMenuEvent* event)
{
    emit Context_Menu(event->globalPos());
}
