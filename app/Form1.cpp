#include "Form1.h"

#include "QBColor.h"
#include "diagonal/Diagonal.h"
#include "figure/Figure.h"
#include "memo/Memo.h"

namespace pr {

namespace {

WindowLabel windowLabel(const char16_t *caption, int left, int top, int width, int height,
                        QRgb back, QRgb fore, FontRole font = FontRole::Default)
{
    return {QString::fromUtf16(caption), left, top, width, height, back, fore, font};
}

CommandButton button(const char16_t *caption, int left, int width, FontRole font)
{
    return {QString::fromUtf16(caption), left, 120, width, 495, true, font};
}

OptionButton option(const char16_t *caption, int left, int top, int width)
{
    return {QString::fromUtf16(caption), left, top, width, 255, true, false, kLightGreen};
}

// Point labels: 29 px high, white text on green, bold mincho.
Label pointLabel(const char16_t *caption, float width, QRgb fore, float left, float top)
{
    return {QString::fromUtf16(caption), left, top, width, 29, kGreen, fore, true,
            FontRole::Mincho29B};
}

} // namespace

Form1::Form1()
{
    Caption = QStringLiteral("Form1");
    ClientWidth = 12165;
    ClientHeight = 10530;
    BackColor = kLightGreen;

    Label1 = windowLabel(u"相似と比", 240, 120, 1875, 495, kGreen, kBrightGreen,
                         FontRole::Gothic32B);
    Command1 = button(u"初期画面", 2280, 1095, FontRole::Default);
    Command4 = button(u"対角線", 3960, 1095, FontRole::Gothic16);
    Command3 = button(u"メモ", 5280, 1095, FontRole::Gothic16);
    Command2 = button(u"終了", 11040, 975, FontRole::Default);
    Label4[0] = windowLabel(u"太字", 6480, 150, 360, 180, kLightGreen, kBlack);
    Label4[1] = windowLabel(u"細字", 6480, 400, 360, 180, kLightGreen, kBlack);

    // Upper row: thick pens 4..7; lower row: thin pens 0..3.
    const char16_t *captions[4] = {u"赤色", u"黄色", u"青色", u"消しゴム"};
    const int lefts[4] = {6960, 7800, 8640, 9480};
    for (int i = 0; i < 4; ++i) {
        const int width = i == 3 ? 1215 : 855;
        Option1[i] = option(captions[i], lefts[i], 360, width);
        Option1[i + 4] = option(captions[i], lefts[i], 120, width);
    }
    Option1[0].Value = true;

    gamen.Left = 120;
    gamen.Top = 720;
    gamen.Width = 11895;
    gamen.Height = 9615;
    gamen.BackColor = kGreen;
    gamen.ForeColor = kBlack;

    for (Line &l : Line1)
        l = {0, 0, 0, 0, kWhite, 4};
    for (Line &l : Line2)
        l = {1000, 0, 1000, 0, kRed, 4};
    for (Line &l : Line3)
        l = {0, 0, 0, 0, kYellow, 2};
    for (Line &l : Line4)
        l = {1000, 0, 1000, 0, kRed, 4};

    Label2[0] = pointLabel(u"Ａ", 24, kWhite, 316, 219);
    Label2[1] = pointLabel(u"Ｂ", 22, kWhite, 255, 319);
    Label2[2] = pointLabel(u"Ｃ", 23, kWhite, 163, 469);
    Label2[3] = pointLabel(u"Ａ'", 34, kWhite, 492, 219);
    Label2[4] = pointLabel(u"Ｂ'", 32, kWhite, 512, 319);
    Label2[5] = pointLabel(u"Ｃ'", 33, kWhite, 540, 469);
    Label3[1] = pointLabel(u"Ｇ", 24, kWhite, 460, -50);
    Label3[2] = pointLabel(u"Ｄ", 25, kRed, 316, 219);
    Label3[3] = pointLabel(u"Ｅ", 22, kRed, 255, 319);
    Label3[4] = pointLabel(u"Ｆ", 21, kRed, 163, 469);

    Image1[0] = {QStringLiteral(":/letters/letter_l.jpg"), 396, 160, 24, 34};
    Image1[1] = {QStringLiteral(":/letters/letter_m.jpg"), 476, 160, 35, 24};
    Image1[2] = {QStringLiteral(":/letters/letter_p.jpg"), 50, 214, 24, 34};
    Image1[3] = {QStringLiteral(":/letters/letter_q.jpg"), 50, 316, 24, 31};
    Image1[4] = {QStringLiteral(":/letters/letter_r.jpg"), 50, 470, 24, 27};

    // Design place 7440 x 4200 twips; the size 615 x 375 twips is 41 x 25 px.
    Shape1 = {496, 280, 41, 25, false, 3};
}

void Form1::Form_Load()
{
    Caption = QStringLiteral("平行線と線分の比 (by Vorlane)");
    gamen.FontSize = 20;
    gamen.ScaleMode = 3;
    gamen.ForeColor = QBColor(15);
    gamen.DrawWidth = 3;
    st.penColor = 12;
    if (selectOption1(0))
        Option1_Click(0);
    ResetFigure();
}

void Form1::ResetFigure() { figure::ResetFigure(*this); }

void Form1::Command1_Click() { ResetFigure(); }

void Form1::Command2_Click() { endRequested = true; }

void Form1::Command3_Click() { memo::Command3_Click(*this); }

void Form1::Command4_Click() { diagonal::Command4_Click(*this); }

void Form1::Option1_Click(std::int16_t Index) { memo::Option1_Click(*this, Index); }

void Form1::Label2_Click(std::int16_t Index) { diagonal::Label2_Click(*this, Index); }

void Form1::gamen_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    figure::gamen_MouseDown(*this, Button, Shift, X, Y);
}

void Form1::gamen_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    figure::gamen_MouseMove(*this, Button, Shift, X, Y);
}

void Form1::gamen_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    figure::gamen_MouseUp(*this, Button, Shift, X, Y);
}

void Form1::clickCommand(int number)
{
    switch (number) {
    case 1:
        if (Command1.Enabled)
            Command1_Click();
        break;
    case 2:
        if (Command2.Enabled)
            Command2_Click();
        break;
    case 3:
        if (Command3.Enabled)
            Command3_Click();
        break;
    case 4:
        if (Command4.Enabled)
            Command4_Click();
        break;
    default:
        break;
    }
}

void Form1::clickOption1(int index)
{
    if (!Option1.contains(index) || !Option1[index].Enabled)
        return;
    selectOption1(index);
    Option1_Click(std::int16_t(index));
}

void Form1::clickLabel2(int index)
{
    if (Label2.contains(index))
        Label2_Click(std::int16_t(index));
}

bool Form1::selectOption1(int index)
{
    if (!Option1.contains(index))
        return false;
    const bool changed = !Option1[index].Value;
    for (int i = Option1.first; i <= Option1.last; ++i)
        Option1[i].Value = i == index;
    return changed;
}

int Form1::selectedOption1() const
{
    for (int i = Option1.first; i <= Option1.last; ++i)
        if (Option1[i].Value)
            return i;
    return -1;
}

} // namespace pr
