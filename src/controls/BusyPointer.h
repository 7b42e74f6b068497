#pragma once

#include <QObject>

// The busy pointer over the whole program while the user waits for ExifTool. It is restored
// however the wait ends, also when its owner goes before the word that the wait is over.
class BusyPointer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~BusyPointer() override;

    void show(bool busy);

private:
    bool m_shown = false;
};
