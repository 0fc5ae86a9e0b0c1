#include "TApplicationObject.h"

TApplicationObject& TApplicationObject::instance() {
    // Created on first use and never destroyed before the host: the plug-in's objects hang from it.
    static TApplicationObject* app = new TApplicationObject;
    return *app;
}
