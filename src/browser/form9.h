#pragma once

#include <QDialog>

class Form1;
struct ProgramValues;

// The folder browser: a tree of drives and folders with OK and Cancel, handing the chosen
// folder back through ProgramValues::SelectedFolder.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    Form9(Form1 &owner, ProgramValues &values);

private:
    Form1 &m_owner;
    ProgramValues &m_values;
};
