#pragma once
#include <QDialog>

class QLabel;

// The about box: product name and the version of this build.
class TFrmVer : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmVer(QWidget *parent = nullptr);
    void setProductName(const QString &name);
    static QString versionText();

    QLabel *lblProduct = nullptr;
    QLabel *lblVersion = nullptr;
};
