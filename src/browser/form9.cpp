#include "browser/form9.h"

#include "browser/dir_tree.h"
#include "browser/form9_layout.h"
#include "common/step_over.h"
#include "platform/machine.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPushButton>
#include <QTreeWidget>

Form9::Form9(QWidget &owner, QString &selectedFolder)
    : QDialog(&owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_owner(owner)
    , m_selectedFolder(selectedFolder)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QString());
    setSizeGripEnabled(false);
    buildControls();
    setMinimumSize(twipsToPixels(form9MinimumClient.width(), dpi()),
                   twipsToPixels(form9MinimumClient.height(), dpi()));
    resize(twipsToPixels(form9ClientWidth, dpi()), twipsToPixels(form9ClientHeight, dpi()));
    Form_Resize();
    Form_Load();
}

void Form9::buildControls()
{
    // Made back to front: the panel lies behind the tree and the buttons.
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    DirTree1 = new DirTree(this);
    DirTree1->setObjectName(QStringLiteral("DirTree1"));
    for (int i = 0; i < 2; ++i) {
        cmd[i] = new QPushButton(i == 0 ? QStringLiteral("OK") : QStringLiteral("Cancel"), this);
        cmd[i]->setObjectName(QStringLiteral("cmd(%1)").arg(i));
        cmd[i]->setAutoDefault(false); // neither is the default button: Enter means nothing
        cmd[i]->setFixedSize(twipsToPixels(form9ButtonWidth, dpi()),
                             twipsToPixels(form9ButtonHeight, dpi()));
        connect(cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    }
    setTabOrder(cmd[0], cmd[1]);
    setTabOrder(cmd[1], DirTree1->treeView());
    cmd[0]->setFocus();
}

double Form9::dpi() const
{
    return logicalDpiY();
}

QSizeF Form9::clientTwips() const
{
    return QSizeF(pixelsToTwips(width(), dpi()), pixelsToTwips(height(), dpi()));
}

// A compositor places windows itself (Wayland): the place asked for here is only a wish.
void Form9::Form_Load()
{
    DirTree1->GoList();
    const double scale = dpi();
    const QPointF ownerTopLeft(pixelsToTwips(m_owner.pos().x(), scale),
                               pixelsToTwips(m_owner.pos().y(), scale));
    const QPointF place = form9Placement(ownerTopLeft, form9OuterSize(clientTwips()));
    move(twipsToPixels(place.x(), scale), twipsToPixels(place.y(), scale));
}

// Laid out from the client area, which the window knows from the start under any window
// manager or none (unlike its frame): the buttons sit right under the tree, inside.
void Form9::Form_Resize()
{
    const double scale = dpi();
    const Form9Layout layout = form9Layout(form9OuterSize(clientTwips()));
    Picture1->setGeometry(twipsToPixels(layout.picture1, scale));
    DirTree1->setGeometry(twipsToPixels(layout.dirTree1, scale));
    cmd[0]->move(twipsToPixels(layout.ok, scale).topLeft());
    cmd[1]->move(twipsToPixels(layout.cancel, scale).topLeft());
}

// An unloaded window is deleted only once its answer has been read: deleting it earlier
// (its deletion may come due in any event loop, this one included) would leave the answer
// to be read from a window that is gone.
bool Form9::showModal()
{
    m_hiddenByButton = false;
    m_showing = true;
    cmd[0]->setFocus(); // OK has the focus at every opening, whichever button hid the window
    exec();
    m_showing = false;
    const bool answered = m_hiddenByButton;
    if (m_unloaded)
        deleteLater();
    return answered;
}

// Failures end the handling silently; what was done by then stays done, and a failure
// before the window is hidden leaves it open for another try.
void Form9::cmd_Click(int index)
{
    stepOver([&] {
        if (index == 0)
            m_selectedFolder = DirTree1->path();
        else if (index == 1)
            m_selectedFolder = Machine::current().programFolder();
        m_hiddenByButton = true;
        hide();
    });
}

void Form9::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

// Closing through the title bar unloads the window: tree and stored path go with it. While
// shown modally, the modal show deletes it after reading its answer.
void Form9::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_unloaded = true;
    if (!m_showing)
        deleteLater();
}

// Skips the dialog's own keys: Escape does not cancel and Enter presses no button.
void Form9::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event); // NOLINT(bugprone-parent-virtual-call): past QDialog's
}
