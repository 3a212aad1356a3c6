#include "framework/Classes.h"

#include <gtest/gtest.h>

TEST(Component, OwnedComponentsAreDesignedWithTheirOwner)
{
    TComponent owner;
    owner.SetDesigning(true);
    auto* designed = NewComponent<TComponent>(&owner);
    EXPECT_TRUE(designed->Designing());
    TComponent plainOwner;
    EXPECT_FALSE(NewComponent<TComponent>(&plainOwner)->Designing());
    EXPECT_FALSE(TComponent(nullptr).Designing());
}
