#include "Form1.h"

#include "QBColor.h"

namespace pr {

namespace {

WindowLabel windowLabel(const char *caption, int left, int top, int width, int height, Rgb back,
                        Rgb fore, FontRole font = FontRole::Default)
{
    return {caption, left, top, width, height, back, fore, font};
}

CommandButton button(const char *caption, int left, int width, FontRole font)
{
    return {caption, left, 120, width, 495, true, font};
}

OptionButton option(const char *caption, int left, int top, int width)
{
    return {caption, left, top, width, 255, true, false, kLightGreen};
}

// Point labels: 29 px high, white text on green, bold mincho.
Label pointLabel(const char *caption, float width, Rgb fore, float left, float top)
{
    return {caption, left, top, width, 29, kGreen, fore, true, FontRole::Mincho29B};
}

} // namespace

Form1::Form1()
{
    Caption = "Form1";
    ClientWidth = 12165;
    ClientHeight = 10530;
    BackColor = kLightGreen;

    Label1 = windowLabel("相似と比", 240, 120, 1875, 495, kGreen, kBrightGreen,
                         FontRole::Gothic32B);
    Command1 = button("初期画面", 2280, 1095, FontRole::Default);
    Command4 = button("対角線", 3960, 1095, FontRole::Gothic16);
    Command3 = button("メモ", 5280, 1095, FontRole::Gothic16);
    Command2 = button("終了", 11040, 975, FontRole::Default);
    Label4[0] = windowLabel("太字", 6480, 150, 360, 180, kLightGreen, kBlack);
    Label4[1] = windowLabel("細字", 6480, 400, 360, 180, kLightGreen, kBlack);

    // Upper row: thick pens 4..7; lower row: thin pens 0..3.
    const char *captions[4] = {"赤色", "黄色", "青色", "消しゴム"};
    const int lefts[4] = {6960, 7800, 8640, 9480};
    for (int i = 0; i < 4; ++i) {
        const int width = i == 3 ? 1215 : 855;
        Option1[i] = option(captions[i], lefts[i], 360, width);
        Option1[i + 4] = option(captions[i], lefts[i], 120, width);
    }
    Option1[kThinRedPen].Value = true;

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

    Label2[kPointA] = pointLabel("Ａ", 24, kWhite, 316, 219);
    Label2[kPointB] = pointLabel("Ｂ", 22, kWhite, 255, 319);
    Label2[kPointC] = pointLabel("Ｃ", 23, kWhite, 163, 469);
    Label2[kPointAPrime] = pointLabel("Ａ'", 34, kWhite, 492, 219);
    Label2[kPointBPrime] = pointLabel("Ｂ'", 32, kWhite, 512, 319);
    Label2[kPointCPrime] = pointLabel("Ｃ'", 33, kWhite, 540, 469);
    Label3[kPointG] = pointLabel("Ｇ", 24, kWhite, 460, -50);
    Label3[kPointD] = pointLabel("Ｄ", 25, kRed, 316, 219);
    Label3[kPointE] = pointLabel("Ｅ", 22, kRed, 255, 319);
    Label3[kPointF] = pointLabel("Ｆ", 21, kRed, 163, 469);

    Image1[kLetterL] = {ImageId::LetterL, 396, 160, 24, 34};
    Image1[kLetterM] = {ImageId::LetterM, 476, 160, 35, 24};
    Image1[kLetterP] = {ImageId::LetterP, 50, 214, 24, 34};
    Image1[kLetterQ] = {ImageId::LetterQ, 50, 316, 24, 31};
    Image1[kLetterR] = {ImageId::LetterR, 50, 470, 24, 27};

    // Design place 7440 x 4200 twips; the size 615 x 375 twips is 41 x 25 px.
    Shape1 = {496, 280, 41, 25, false, 3};
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
