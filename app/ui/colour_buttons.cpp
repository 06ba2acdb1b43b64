// The colour swatches and the colour dialog for a record.
#include "app/ui/colour_buttons.h"

#include <QColor>
#include <QPainter>

#include "app/shell/application.h"
#include "app/shell/current_colours.h"
#include "app/shell/main_frame.h"
#include "app/shell/shell_dialogs.h"

namespace {

QColor RecordRgb(const _tagPTzCOLOR& colour)
{
    return QColor(colour.components[0], colour.components[1], colour.components[2]);
}

}  // namespace

RColorButton::RColorButton(QWidget* parent) : QAbstractButton(parent)
{
    // A click must leave the focus where the user works (the view or the main window).
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

void RColorButton::DrawItem(QPainter& painter)
{
    painter.fillRect(rect(), RecordRgb(m_colour));
}

void RColorButton::paintEvent(QPaintEvent*)
{
    ++m_draws;
    QPainter painter(this);
    DrawItem(painter);
}

RTzCurrentColorButton::RTzCurrentColorButton(bool front, QWidget* parent) : RColorButton(parent), m_front(front)
{
    if (CImageDataManager* colours = CImageDataManager::GetImageDataManager())
        AddToBroadcaster(colours);
}

void RTzCurrentColorButton::DrawItem(QPainter& painter)
{
    if (CImageDataManager* colours = CImageDataManager::GetImageDataManager()) {
        if (m_front)
            colours->GetFrontColor(&m_colour);
        else
            colours->GetBackColor(&m_colour);
    }
    RColorButton::DrawItem(painter);
}

int RTzCurrentColorButton::Listen(uint32_t message, void*, PTzBroadcaster*)
{
    if (message == QVMSG_FRONT_COLOR_CHANGED || message == QVMSG_BACK_COLOR_CHANGED)
        repaint();
    return 0;
}

void RTzCurrentColorButton::OnClicked()
{
    // The Front Color and Back Color commands run the dialog on black and keep the
    // record's mode and alpha.
    CTamsleyApp* app = CTamsleyApp::Get();
    if (!app)
        return;
    if (m_front)
        app->OnFrontColor();
    else
        app->OnBackColor();
    if (CMainFrame* frame = app->GetMainFrame())
        frame->FocusMainWindow();
}

RTextColor::RTextColor(QWidget* parent) : RButton(parent)
{
    m_colour.mode = PTzCOLORMODE_RGB;
    setFocusPolicy(Qt::NoFocus);
}

void RTextColor::SetColor(const _tagPTzCOLOR* colour)
{
    if (!colour)
        return;
    m_colour = *colour;
    Invalidate();
}

void RTextColor::SetValid(bool valid)
{
    if (m_valid == int(valid))
        return;
    m_valid = valid ? 1 : 0;
    Invalidate();
}

int RTextColor::GetColor(_tagPTzCOLOR& colour) const
{
    colour = m_colour;
    return m_valid ? 1 : 0;
}

void RTextColor::Paint(QPainter& painter, const QRect&)
{
    if (!m_valid) {
        // An empty box in the panel's own colour: no colour is the text's.
        const QRect box = GetClientRect();
        painter.fillRect(box, palette().window());
        painter.setPen(palette().mid().color());
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        return;
    }
    uint8_t red = 0, green = 0, blue = 0;
    PTzColorGetRGB(&m_colour, &red, &green, &blue);
    painter.fillRect(GetClientRect(), QColor(red, green, blue));
}

int PickColorRecord(_tagPTzCOLOR& colour)
{
    QColor chosen(Qt::black);
    if (!quorvel::ShellDialogs().AskColour(nullptr, &chosen))
        return 0;
    colour.mode = PTzCOLORMODE_RGB;
    colour.components[0] = uint8_t(chosen.red());
    colour.components[1] = uint8_t(chosen.green());
    colour.components[2] = uint8_t(chosen.blue());
    return 1;
}
