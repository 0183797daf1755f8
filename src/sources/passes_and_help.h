#pragma once

#include <QtGlobal>

class QRadioButton;

// The pass options optOnePass and optTwoPass, and the help texts: the "?" beside the options
// (lblPassInfo) and the Help menu's Info and About.
class PassesAndHelp
{
public:
    PassesAndHelp(QRadioButton *onePass, QRadioButton *twoPass);

    // Start-up encodes in two passes, as the selected option says.
    void load();

    void optOnePass_Click();
    void optTwoPass_Click();
    void lblPassInfo_Click();
    void mnuInfo_Click();
    void mnuAbout_Click();

    // 0 = one pass, 1 = a pass before the encoding pass; read afresh for each file set up.
    qint16 PreprocessPasses = 0;

private:
    QRadioButton *optOnePass;
    QRadioButton *optTwoPass;
};
