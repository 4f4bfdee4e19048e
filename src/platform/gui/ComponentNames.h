#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Component names: an identifier (ASCII letter or '_', then letters, digits
// or '_'), unique among the owner's components without regard to case.
bool IsValidIdent(const QString& name);

// Raises EComponentError for a name that is not an identifier or that one of
// siblingNames already holds. The empty name is always allowed.
void ValidateComponentName(const QString& name, const QStringList& siblingNames);

// The components an owner holds, in the order they were inserted. A
// component leaves the list when it is removed or destroyed.
class TComponentOwner {
public:
    TComponentOwner();
    ~TComponentOwner();
    TComponentOwner(const TComponentOwner&) = delete;
    TComponentOwner& operator=(const TComponentOwner&) = delete;

    // Appended unnamed; inserting a held component changes nothing.
    void InsertComponent(QObject* component);
    void RemoveComponent(QObject* component);

    // Validates against the other components, then sets the name (and the
    // object name). Raises EComponentError and keeps the old name on failure.
    // A component this owner does not hold is only checked for the form.
    void SetComponentName(QObject* component, const QString& name);
    QString ComponentName(const QObject* component) const;

    // Case-insensitive; nullptr for an empty or unknown name.
    QObject* FindComponent(const QString& name) const;
    int IndexOf(const QObject* component) const;   // -1 when not held
    int ComponentCount() const;
    QObject* Component(int index) const;            // raises EListError out of range
    // A copy, safe to walk while components go away.
    QList<QObject*> Components() const;

private:
    struct Item {
        QObject* component;
        QString name;
        QMetaObject::Connection destroyed;
    };
    QList<Item> m_items;
};
