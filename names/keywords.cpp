#include "names/keywords.h"

#include "names/name_lexer.h"

namespace names {
namespace {

struct Group {
    Keyword kind;
    const char* words;
};

constexpr Group kGroups[] = {
    {Keyword::TypeWord, "int char bool void auto signed unsigned long short float double "
                        "wchar_t char8_t char16_t char32_t decltype __int128 __int64 __int32 "
                        "__int16 __int8 _Bool _Complex __signed__ __signed __float128 __bf16 "
                        "_Float16 __fp16 __typeof__ __typeof typeof __underlying_type"},
    {Keyword::Qualifier,
     "const volatile static inline constexpr consteval constinit virtual explicit extern "
     "mutable thread_local friend register __inline __inline__ __const __const__ __volatile__ "
     "__restrict __restrict__ restrict __extension__ _Thread_local __thread noexcept final "
     "override"},
    {Keyword::ClassKey, "class struct union"},
    {Keyword::Enum, "enum"},
    {Keyword::Typename, "typename"},
    {Keyword::Typedef, "typedef"},
    {Keyword::Using, "using"},
    {Keyword::Namespace, "namespace"},
    {Keyword::Template, "template"},
    {Keyword::Operator, "operator"},
    {Keyword::Concept, "concept requires"},
    {Keyword::Attribute, "__attribute__ __attribute __declspec alignas _Alignas __asm__ __asm "
                         "asm static_assert _Static_assert alignof _Alignof __alignof__ "
                         "__alignof sizeof"},
    {Keyword::Other,
     "and and_eq bitand bitor compl not not_eq or or_eq xor xor_eq break case catch co_await "
     "co_return co_yield const_cast continue default delete do dynamic_cast else export false "
     "for goto if new nullptr private protected public reinterpret_cast return static_cast "
     "switch this throw true try typeid while import module _Noreturn _Generic _Atomic "
     "__builtin_offsetof __builtin_va_arg __func__ __FUNCTION__ __PRETTY_FUNCTION__ "
     "__label__ __null __real__ __imag__ __builtin_types_compatible_p __is_same "
     "__is_convertible_to __is_base_of __is_class __is_enum __is_union __is_pod __is_empty "
     "__is_polymorphic __is_abstract __is_final __is_trivial __is_trivially_copyable "
     "__is_trivially_constructible __is_trivially_assignable __is_standard_layout "
     "__is_literal_type __is_constructible __is_assignable __is_nothrow_constructible "
     "__is_nothrow_assignable __is_aggregate __has_trivial_destructor "
     "__has_virtual_destructor __has_unique_object_representations __has_trivial_copy "
     "__has_trivial_assign __has_trivial_constructor __has_nothrow_assign "
     "__has_nothrow_copy __has_nothrow_constructor __builtin_addressof __builtin_launder "
     "__builtin_bit_cast __is_trivially_destructible __is_destructible __is_nothrow_destructible "
     "__reference_binds_to_temporary __is_layout_compatible __is_pointer_interconvertible_base_of "
     "__builtin_is_constant_evaluated __is_array __is_function __is_reference __is_pointer "
     "__is_member_pointer __is_arithmetic __is_fundamental __is_object __is_scalar "
     "__is_compound __is_void __is_integral __is_floating_point __is_lvalue_reference "
     "__is_rvalue_reference __is_member_object_pointer __is_member_function_pointer "
     "__is_signed __is_unsigned __is_const __is_volatile __is_nullptr __is_bounded_array "
     "__is_unbounded_array __is_scoped_enum __array_rank __array_extent __is_interface_class "
     "__is_sealed __is_unsigned __builtin_choose_expr __builtin_convertvector "
     "__builtin_shufflevector __builtin_FILE __builtin_LINE __builtin_FUNCTION "
     "__builtin_COLUMN __builtin_source_location __decltype __nullptr _Pragma __pragma "
     "__unaligned __ptr64 __ptr32 __w64 __cdecl __stdcall __fastcall __thiscall __vectorcall "
     "__forceinline __super __uuidof __try __except __finally __leave __event __hook "
     "__unhook __raise __interface __if_exists __if_not_exists __single_inheritance "
     "__multiple_inheritance __virtual_inheritance __noop"},
};

} // namespace

KeywordTable::KeywordTable() noexcept {
    std::size_t used = 0;
    for (const Group& g : kGroups) {
        const char* p = g.words;
        while (*p != '\0') {
            while (*p == ' ') {
                ++p;
            }
            const char* start = p;
            while (*p != '\0' && *p != ' ') {
                ++p;
            }
            const std::size_t length = std::size_t(p - start);
            uint64_t lo;
            uint64_t hi;
            WordHead(start, length, lo, hi);
            const uint64_t hash = HashWord(start, length);
            if (length == 0 || Find(start, length, lo, hi, hash) != Keyword::None) {
                continue;
            }
            std::size_t i = hash >> 54;
            while (m_slots[i].length != 0) {
                i = (i + 1) % kSlots;
            }
            std::memcpy(m_text + used, start, length);
            m_slots[i] = Slot{lo, hi, uint16_t(used), uint8_t(length), g.kind};
            m_filter[hash >> 58] |= uint64_t(1) << (hash >> 52 & 63);
            used += length;
        }
    }
}

const KeywordTable& Keywords() noexcept {
    static const KeywordTable table;
    return table;
}

} // namespace names
