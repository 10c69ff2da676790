#include "gui/frmSplash.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "core/WindowPlacement.h"

namespace {

// The fixed layout, in twips.
constexpr QSize kClientArea(4215, 2430);
constexpr QRect kFramePlace(120, 0, 3975, 2310);
constexpr QRect kPicturePlace(120, 240, 3735, 1455);
constexpr QRect kCaptionPlace(840, 1860, 2415, 270);

} // namespace

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    const double dpi = screen()->logicalDotsPerInch();
    setFixedSize(TwipsToPixels(QRect(QPoint(), kClientArea), dpi).size());

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(TwipsToPixels(kFramePlace, dpi));

    auto *picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(TwipsToPixels(kPicturePlace, dpi));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(QPixmap(QStringLiteral(":/splash.jpg")));

    auto *caption = new QLabel(QStringLiteral("Parlox By Tolvane"), frame);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setGeometry(TwipsToPixels(kCaptionPlace, dpi));
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(12);
    caption->setFont(font);

    move(screen()->geometry().center() - rect().center());
}
