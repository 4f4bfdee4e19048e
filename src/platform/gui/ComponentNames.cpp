#include "ComponentNames.h"

#include "Exceptions.h"

namespace {

bool isIdentStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

} // namespace

bool IsValidIdent(const QString& name)
{
    if (name.isEmpty() || !isIdentStart(name[0]))
        return false;
    for (QChar c : name)
        if (!isIdentStart(c) && !(c >= u'0' && c <= u'9'))
            return false;
    return true;
}

void ValidateComponentName(const QString& name, const QStringList& siblingNames)
{
    if (name.isEmpty())
        return;
    if (!IsValidIdent(name))
        throw EComponentError(QStringLiteral("''%1'' ist kein gültiger Komponentenname").arg(name));
    if (siblingNames.contains(name, Qt::CaseInsensitive))
        throw EComponentError(QStringLiteral("Komponente mit der Bezeichnung %1 existiert bereits").arg(name));
}

TComponentOwner::TComponentOwner() = default;

TComponentOwner::~TComponentOwner()
{
    for (const Item& item : m_items)
        QObject::disconnect(item.destroyed);
}

void TComponentOwner::InsertComponent(QObject* component)
{
    if (!component || IndexOf(component) >= 0)
        return;
    // The connection has no context object: it is cut by RemoveComponent and
    // by this owner's destructor, so it never outlives the list.
    const QMetaObject::Connection c =
        QObject::connect(component, &QObject::destroyed, [this, component] { RemoveComponent(component); });
    m_items.append(Item{component, QString(), c});
}

void TComponentOwner::RemoveComponent(QObject* component)
{
    const int i = IndexOf(component);
    if (i < 0)
        return;
    QObject::disconnect(m_items[i].destroyed);
    m_items.removeAt(i);
}

void TComponentOwner::SetComponentName(QObject* component, const QString& name)
{
    const int i = IndexOf(component);
    if (i < 0) {
        ValidateComponentName(name, {});
        component->setObjectName(name);
        return;
    }
    if (m_items[i].name == name)
        return;
    QStringList others;
    for (int j = 0; j < m_items.size(); ++j)
        if (j != i && !m_items[j].name.isEmpty())
            others.append(m_items[j].name);
    ValidateComponentName(name, others);
    m_items[i].name = name;
    component->setObjectName(name);
}

QString TComponentOwner::ComponentName(const QObject* component) const
{
    const int i = IndexOf(component);
    return i < 0 ? QString() : m_items[i].name;
}

QObject* TComponentOwner::FindComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (const Item& item : m_items)
        if (item.name.compare(name, Qt::CaseInsensitive) == 0)
            return item.component;
    return nullptr;
}

int TComponentOwner::IndexOf(const QObject* component) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].component == component)
            return i;
    return -1;
}

int TComponentOwner::ComponentCount() const
{
    return int(m_items.size());
}

QObject* TComponentOwner::Component(int index) const
{
    if (index < 0 || index >= m_items.size())
        throw EListError(QStringLiteral("Listenindex überschreitet das Maximum (%1)").arg(index));
    return m_items[index].component;
}

QList<QObject*> TComponentOwner::Components() const
{
    QList<QObject*> list;
    list.reserve(m_items.size());
    for (const Item& item : m_items)
        list.append(item.component);
    return list;
}
