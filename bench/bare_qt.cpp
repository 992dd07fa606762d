// The part of the program's start that no design can avoid: a Qt Widgets application on the
// offscreen platform that makes one line edit, and ends.
#include <QApplication>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QLineEdit edit;
    edit.setText(QStringLiteral("359"));
    edit.ensurePolished();
    return edit.sizeHint().isValid() ? 0 : 1;
}
