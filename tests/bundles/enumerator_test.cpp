#include "bundles/PropertyElement.h"
#include "bundles/SimpleEnumerator.h"
#include "support/ComTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A one-dimensional array of VT_I4 values with the given lower bound.
SafeArray MakeArray(LONG lowerBound, const std::vector<LONG>& values) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
    SafeArray array(::SafeArrayCreate(VT_VARIANT, 1, &bound));
    for (size_t i = 0; i < values.size(); ++i) {
        VARIANT v = IntArg(values[i]);
        LONG index = lowerBound + static_cast<LONG>(i);
        EXPECT_EQ(::SafeArrayPutElement(array.get(), &index, &v), S_OK);
    }
    return array;
}

VARIANT ArrayArgument(const SafeArray& array, VARTYPE type = VT_ARRAY | VT_VARIANT) {
    VARIANT v = Arg(type);
    v.parray = array.get();
    return v;
}

// Walks the enumerator as script does; getNext failures end the walk.
std::vector<LONG> Walk(ISimpleEnumerator* enumerator) {
    std::vector<LONG> seen;
    VARIANT_BOOL more = VARIANT_FALSE;
    while (enumerator->hasMoreElements(&more) == S_OK && more == VARIANT_TRUE) {
        Variant value;
        if (enumerator->getNext(value.get()) != S_OK) break;
        seen.push_back(value->vt == VT_I4 ? value->lVal : -999);
    }
    return seen;
}

TEST(SimpleEnumerator, YieldsEveryElementWhateverTheLowerBound) {
    for (LONG lowerBound : {0, 1, -3, 100}) {
        SCOPED_TRACE(testing::Message() << "lower bound " << lowerBound);
        auto enumerator = MakeObject<CSimpleEnumerator, ISimpleEnumerator>();
        SafeArray array = MakeArray(lowerBound, {10, 20, 30});
        ASSERT_EQ(enumerator->init(ArrayArgument(array)), S_OK);
        EXPECT_EQ(Walk(enumerator.get()), (std::vector<LONG>{10, 20, 30}));
        Variant past;
        EXPECT_EQ(enumerator->getNext(past.get()), E_INVALIDARG);
        VARIANT_BOOL more = VARIANT_TRUE;
        EXPECT_EQ(enumerator->hasMoreElements(&more), S_OK);
        EXPECT_EQ(more, VARIANT_FALSE);
    }
}

TEST(SimpleEnumerator, KeepsItsOwnCopy) {
    auto enumerator = MakeObject<CSimpleEnumerator, ISimpleEnumerator>();
    {
        SafeArray array = MakeArray(0, {1, 2});
        ASSERT_EQ(enumerator->init(ArrayArgument(array)), S_OK);
    } // the producer's array is gone
    EXPECT_EQ(Walk(enumerator.get()), (std::vector<LONG>{1, 2}));
}

TEST(SimpleEnumerator, RefusesWhatIsNotAnArrayOfVariantsAndDropsTheOldArray) {
    SafeArray strings(::SafeArrayCreateVector(VT_BSTR, 0, 1));
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    SafeArray twoDimensions(::SafeArrayCreate(VT_VARIANT, 2, bounds));
    SafeArray good = MakeArray(0, {1});
    VARIANT byReference = Arg(VT_ARRAY | VT_VARIANT | VT_BYREF);
    SAFEARRAY* held = good.get();
    byReference.pparray = &held;
    VARIANT noArray = ArrayArgument(SafeArray());

    const VARIANT refused[] = {ArrayArgument(strings, VT_ARRAY | VT_BSTR),
                               ArrayArgument(strings),
                               byReference,
                               noArray,
                               ArrayArgument(twoDimensions),
                               TextArg(nullptr)};
    for (size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        auto enumerator = MakeObject<CSimpleEnumerator, ISimpleEnumerator>();
        ASSERT_EQ(enumerator->init(ArrayArgument(good)), S_OK);
        EXPECT_EQ(enumerator->init(refused[i]), E_INVALIDARG);
        VARIANT_BOOL more = 7;
        EXPECT_EQ(enumerator->hasMoreElements(&more), E_INVALIDARG);
        Variant next;
        EXPECT_EQ(enumerator->getNext(next.get()), E_FAIL);
    }
}

TEST(SimpleEnumerator, SecondInitRestarts) {
    auto enumerator = MakeObject<CSimpleEnumerator, ISimpleEnumerator>();
    SafeArray first = MakeArray(0, {1, 2, 3}), second = MakeArray(0, {7, 8});
    ASSERT_EQ(enumerator->init(ArrayArgument(first)), S_OK);
    Variant skipped;
    EXPECT_EQ(enumerator->getNext(skipped.get()), S_OK);
    ASSERT_EQ(enumerator->init(ArrayArgument(second)), S_OK);
    EXPECT_EQ(Walk(enumerator.get()), (std::vector<LONG>{7, 8}));
}

TEST(SimpleEnumerator, ArgumentChecks) {
    auto enumerator = MakeObject<CSimpleEnumerator, ISimpleEnumerator>();
    EXPECT_EQ(enumerator->hasMoreElements(nullptr), E_POINTER);
    EXPECT_EQ(enumerator->getNext(nullptr), E_POINTER);
    VARIANT_BOOL more = 7;
    EXPECT_EQ(enumerator->hasMoreElements(&more), E_INVALIDARG); // no array yet
    SafeArray empty(::SafeArrayCreateVector(VT_VARIANT, 0, 0));
    ASSERT_EQ(enumerator->init(ArrayArgument(empty)), S_OK);
    EXPECT_EQ(enumerator->hasMoreElements(&more), S_OK);
    EXPECT_EQ(more, VARIANT_FALSE);
    Variant next;
    EXPECT_EQ(enumerator->getNext(next.get()), E_INVALIDARG);
}

TEST(PropertyElement, HoldsAnyValue) {
    ComPtr<IPropertyElement> element;
    ASSERT_EQ(CPropertyElement::CreateLocal(element.put()), S_OK);
    Variant key, value;
    EXPECT_EQ(element->get_key(key.get()), S_OK);
    EXPECT_EQ(key->vt, VT_EMPTY);
    EXPECT_EQ(element->get_value(value.get()), S_OK);
    EXPECT_EQ(value->vt, VT_EMPTY);
    EXPECT_EQ(element->get_key(nullptr), E_POINTER);
    EXPECT_EQ(element->get_value(nullptr), E_POINTER);

    // An object comes back as the same object.
    ComPtr<IPropertyElement> object;
    ASSERT_EQ(CPropertyElement::CreateLocal(object.put()), S_OK);
    EXPECT_EQ(element->put_value(ObjectArg(object.get())), S_OK);
    Variant out;
    EXPECT_EQ(element->get_value(out.get()), S_OK);
    ASSERT_EQ(out->vt, VT_DISPATCH);
    EXPECT_EQ(out->pdispVal, static_cast<IDispatch*>(object.get()));

    // A by-reference argument is kept as the value it refers to.
    VARIANT referred = IntArg(42);
    EXPECT_EQ(element->put_key(RefArg(&referred)), S_OK);
    referred.lVal = 0;
    Variant stored;
    EXPECT_EQ(element->get_key(stored.get()), S_OK);
    EXPECT_EQ(stored->vt, VT_I4);
    EXPECT_EQ(stored->lVal, 42);
}

} // namespace
