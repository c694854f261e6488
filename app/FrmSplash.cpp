#include "FrmSplash.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace vastrel {

FrmSplash::FrmSplash(const QString& version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("FrmSplash");
    setStyleSheet("QWidget#FrmSplash { background: #1f4e79; border: 2px solid #0b2a45; }"
                  "QLabel { color: white; }");
    auto* title = new QLabel("Vastrel", this);
    title->setStyleSheet("font: bold 36pt 'Arial';");
    auto* subtitle = new QLabel("Manifest Laut dan Udara " + version, this);
    subtitle->setStyleSheet("font: 12pt 'Verdana';");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 40, 48, 40);
    layout->addWidget(title, 0, Qt::AlignCenter);
    layout->addWidget(subtitle, 0, Qt::AlignCenter);

    auto* timer = new QTimer(this);
    timer->setObjectName("Timer1");
    timer->setSingleShot(true);
    timer->setInterval(1200);
    connect(timer, &QTimer::timeout, this, &FrmSplash::finished);
    timer->start();
}

} // namespace vastrel
