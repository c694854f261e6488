#pragma once

#include <QWidget>

namespace vastrel {

// The picture shown while the program starts; `finished` fires after 1.2 seconds.
class FrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit FrmSplash(const QString& version, QWidget* parent = nullptr);

signals:
    void finished();
};

} // namespace vastrel
