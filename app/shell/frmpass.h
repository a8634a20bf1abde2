#pragma once

#include <QDialog>

class QLineEdit;

// The administrator password prompt of the start-up: Enter closes it.
class TfrmPass : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPass(QWidget* parent = nullptr);
    QLineEdit* Edit1 = nullptr;
    // Shows the prompt modally (through the dialog service) and returns the text typed.
    static QString chiedi(QWidget* parent);
};

// The credits window.
class TfrmRealizzazione : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRealizzazione(QWidget* parent = nullptr);
};
