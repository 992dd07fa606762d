// What every part of the toolkit needs to talk to Qt: texts, sizes, handlers, widget classes.
#pragma once

#include "platform/system/failure.h"
#include "platform/system/text_encoding.h"

#include <QString>
#include <QWidget>
#include <cmath>
#include <functional>
#include <string>

namespace platform {

// Calls a handler through a copy, so that it may replace itself while it runs.
inline void Fire(std::function<void()> handler)
{
    if (handler)
        handler();
}

// Texts may come from language files written on Windows.
inline QString ToQt(const std::string& text) { return DecodeText(text); }

inline std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

inline int Pixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

// The widget as the Qt class that a property needs; a control type without that property is an
// invalid call.
template <class Widget> inline Widget& As(QWidget* widget)
{
    auto* typed = qobject_cast<Widget*>(widget);
    if (!typed)
        Raise(kInvalidArgument);
    return *typed;
}

}
