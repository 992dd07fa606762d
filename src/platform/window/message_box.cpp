#include "platform/window/message_box.h"

#include "platform/system/text_encoding.h"

#include <QMessageBox>

namespace platform {

static std::function<Answer(const MessageBoxRequest&)>& Handler()
{
    static std::function<Answer(const MessageBoxRequest&)> handler;
    return handler;
}

void SetMessageBoxHandler(std::function<Answer(const MessageBoxRequest&)> handler)
{
    Handler() = std::move(handler);
}

static QMessageBox::Icon QtIcon(Icon icon)
{
    switch (icon) {
    case kCritical:
        return QMessageBox::Critical;
    case kExclamation:
        return QMessageBox::Warning;
    case kInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The program breaks lines with LF CR; shown as plain line breaks.
static QString ShownText(const std::string& text)
{
    QString shown = DecodeText(text);
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

Answer ShowMessageBox(const MessageBoxRequest& request)
{
    if (Handler())
        return Handler()(request);
    QMessageBox box(QtIcon(request.icon), ShownText(request.title), ShownText(request.prompt));
    if (request.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == kNo ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? kYes : kNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return kOk;
}

}
