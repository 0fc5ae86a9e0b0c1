// TApplicationObject: the host application object: owner of the plug-in's long-lived objects and keeper
// of the current company in its integer Tag (set by the company selector, read by every query).
#pragma once

#include <QObject>

class TApplicationObject : public QObject {
    Q_OBJECT
public:
    static TApplicationObject& instance();
    int Tag = 0;
};

inline TApplicationObject& Application() {
    return TApplicationObject::instance();
}
