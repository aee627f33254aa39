#pragma once

#include <QObject>
#include <QString>

// The base of the pane library's non-visual components: an Enabled switch
// behind virtual accessors, and the Version every component reports.
class TPzBaseComponent : public QObject
{
    Q_OBJECT

public:
    explicit TPzBaseComponent(QObject* owner = nullptr, bool enabled = true);

    virtual bool Enabled() const;
    virtual void SetEnabled(bool enabled);

    // The class name followed by the library's version.
    QString Version() const;
    // The version is fixed; writing it does nothing.
    void SetVersion(const QString&) {}

private:
    bool enabled_;
};
