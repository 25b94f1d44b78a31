// The conversions between the interface table's opaque handles and the host's
// objects: the handles are the host's objects themselves. The host's units
// hand their nodes to a module's class callbacks through these.
#ifndef CAELO_HOST_HANDLES_H
#define CAELO_HOST_HANDLES_H

#include "interface/hostInterface.h"

#include <tuple>
#include <type_traits>

namespace caelo::host {

class Node;
class Document;
class Container;
struct View;
class Bitmap;
class EvaluationList;
struct DateValue;
struct Curve;

// Each host object and the handle the interface table knows it by.
template <class Object, class Handle> struct HandlePair {
    using ObjectType = Object;
    using HandleType = Handle;
};
using HandlePairs = std::tuple<HandlePair<Node, HostNode>, HandlePair<Document, HostDocument>,
                               HandlePair<Container, HostContainer>, HandlePair<View, HostView>,
                               HandlePair<Bitmap, HostBitmap>, HandlePair<EvaluationList, HostEvaluationList>,
                               HandlePair<DateValue, HostDateValue>, HandlePair<Curve, HostCurve>>;

namespace handles {

// The pair of `Pairs` whose `Side` is `T`; a type without a pair is an error.
template <class T, template <class> class Side, class Pairs> struct FindPair;
template <class T, template <class> class Side, class First, class... Rest>
struct FindPair<T, Side, std::tuple<First, Rest...>>
    : std::conditional_t<std::is_same_v<T, Side<First>>, std::type_identity<First>,
                         FindPair<T, Side, std::tuple<Rest...>>> {};

template <class Pair> using ObjectSide = typename Pair::ObjectType;
template <class Pair> using HandleSide = typename Pair::HandleType;

// `To`, const when `From` is.
template <class From, class To> using SameConstness = std::conditional_t<std::is_const_v<From>, const To, To>;

} // namespace handles

template <class Object> [[nodiscard]] auto* toHandle(Object* object) {
    using Pair =
        typename handles::FindPair<std::remove_const_t<Object>, handles::ObjectSide, HandlePairs>::type;
    return reinterpret_cast<handles::SameConstness<Object, typename Pair::HandleType>*>(object);
}

template <class Handle> [[nodiscard]] auto* fromHandle(Handle* handle) {
    using Pair =
        typename handles::FindPair<std::remove_const_t<Handle>, handles::HandleSide, HandlePairs>::type;
    return reinterpret_cast<handles::SameConstness<Handle, typename Pair::ObjectType>*>(handle);
}

} // namespace caelo::host

#endif
