#pragma once

#include <QObject>

class TLangManager;

// The program's shared non-visual objects: the one language manager LanMan.
// No language folder or file is set, so every window keeps its design texts
// and every look-up returns its default.
class TQorBase : public QObject {
    Q_OBJECT

public:
    explicit TQorBase(QObject* parent = nullptr);

    TLangManager* LanMan() const { return m_lanMan; }

private:
    TLangManager* m_lanMan;
};
