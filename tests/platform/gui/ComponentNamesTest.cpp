#include "ComponentNames.h"

#include "Exceptions.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A component that tells how many listen for its end.
class Bauteil : public QObject {
public:
    int zuhoerer() const { return receivers(SIGNAL(destroyed(QObject*))); }
};

} // namespace

TEST(ComponentNamesTest, IdentifiersFollowTheComponentRules)
{
    EXPECT_TRUE(IsValidIdent(QStringLiteral("ttp__Standardanzeige")));
    EXPECT_TRUE(IsValidIdent(QStringLiteral("_1")));
    EXPECT_FALSE(IsValidIdent(QString()));
    EXPECT_FALSE(IsValidIdent(QStringLiteral("1ttStandardanzeige")));
    EXPECT_FALSE(IsValidIdent(QStringLiteral("tt[_Kompass")));   // kept by the column-name replacement
    EXPECT_FALSE(IsValidIdent(QStringLiteral("Höhe")));
    EXPECT_FALSE(IsValidIdent(QStringLiteral("a b")));

    try {
        ValidateComponentName(QStringLiteral("1abc"), {});
        FAIL() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "''1abc'' ist kein gültiger Komponentenname");
    }
    try {
        ValidateComponentName(QStringLiteral("TTP__Kompass"), {QStringLiteral("ttp__Kompass")});
        FAIL() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "Komponente mit der Bezeichnung TTP__Kompass existiert bereits");
    }
    EXPECT_NO_THROW(ValidateComponentName(QString(), {QString()}));
}

TEST(ComponentNamesTest, OwnerKeepsOrderNamesAndForgetsDestroyedComponents)
{
    TComponentOwner owner;
    auto a = std::make_unique<QObject>();
    auto b = std::make_unique<QObject>();
    auto c = std::make_unique<QObject>();
    owner.InsertComponent(a.get());
    owner.InsertComponent(b.get());
    owner.InsertComponent(c.get());
    owner.InsertComponent(a.get());
    EXPECT_EQ(owner.Components(), QList<QObject*>({a.get(), b.get(), c.get()}));

    owner.SetComponentName(a.get(), QStringLiteral("SystemzeitFenster"));
    owner.SetComponentName(b.get(), QStringLiteral("ttp__Standardanzeige"));
    EXPECT_EQ(b->objectName(), "ttp__Standardanzeige");
    EXPECT_EQ(owner.FindComponent(QStringLiteral("TTP__STANDARDANZEIGE")), b.get());
    EXPECT_EQ(owner.FindComponent(QString()), nullptr);

    // A duplicate (in any case) or bad name is refused and the old name stays.
    EXPECT_THROW(owner.SetComponentName(c.get(), QStringLiteral("systemzeitfenster")), EComponentError);
    EXPECT_THROW(owner.SetComponentName(b.get(), QStringLiteral("1x")), EComponentError);
    EXPECT_EQ(owner.ComponentName(b.get()), "ttp__Standardanzeige");
    EXPECT_EQ(owner.ComponentName(c.get()), "");
    // Only the case of its own name changes.
    EXPECT_NO_THROW(owner.SetComponentName(a.get(), QStringLiteral("SYSTEMZEITFENSTER")));

    b.reset();
    EXPECT_EQ(owner.Components(), QList<QObject*>({a.get(), c.get()}));
    EXPECT_EQ(owner.IndexOf(c.get()), 1);
    EXPECT_EQ(owner.FindComponent(QStringLiteral("ttp__Standardanzeige")), nullptr);
    EXPECT_NO_THROW(owner.SetComponentName(c.get(), QStringLiteral("ttp__Standardanzeige")));

    owner.RemoveComponent(a.get());
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Component(0), c.get());
    EXPECT_THROW(owner.Component(1), EListError);
}

TEST(ComponentNamesTest, ComponentsOutliveTheirOwner)
{
    // Freed by hand: should the freed owner still listen, its end would
    // call into it.
    auto* c = new Bauteil;
    const QPointer<QObject> lebt(c);
    TComponentOwner bleibt;
    bleibt.InsertComponent(c);
    {
        TComponentOwner owner;
        owner.InsertComponent(c);
        owner.SetComponentName(c, QStringLiteral("Kompass"));
        EXPECT_EQ(c->zuhoerer(), 2);
    }
    // It lives on with its name; only the owner that is still there hears
    // of its end.
    ASSERT_FALSE(lebt.isNull());
    EXPECT_EQ(c->objectName(), "Kompass");
    ASSERT_EQ(c->zuhoerer(), 1) << "the freed owner still listens";
    delete c;
    EXPECT_EQ(bleibt.ComponentCount(), 0);
}
