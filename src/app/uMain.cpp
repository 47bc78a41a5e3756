#include "app/uMain.h"

namespace {
TForm1* g_form1 = nullptr;
}

TForm1* Form1() { return g_form1; }

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    g_form1 = this;
    setWindowTitle(QStringLiteral("QRT Velmo Player"));
}

TForm1::~TForm1() {
    if (g_form1 == this)
        g_form1 = nullptr;
}
