#include "names/std_names.h"

namespace names {
namespace {

constexpr const char* kStdNamespaces =
    "std chrono filesystem ranges views this_thread literals chrono_literals string_literals "
    "string_view_literals complex_literals placeholders pmr execution numbers regex_constants "
    "rel_ops";

constexpr const char* kStdTemplates =
    "allocator allocator_traits array atomic atomic_ref basic_string basic_string_view bitset "
    "deque forward_list list map multimap set multiset unordered_map unordered_multimap "
    "unordered_set unordered_multiset vector stack queue priority_queue span pair tuple optional "
    "variant function move_only_function reference_wrapper unique_ptr shared_ptr weak_ptr "
    "enable_shared_from_this default_delete hash less greater less_equal greater_equal equal_to "
    "not_equal_to plus minus multiplies divides modulus negate logical_and logical_or "
    "logical_not bit_and bit_or bit_xor bit_not initializer_list iterator_traits "
    "reverse_iterator move_iterator back_insert_iterator front_insert_iterator insert_iterator "
    "istream_iterator ostream_iterator istreambuf_iterator ostreambuf_iterator iterator "
    "numeric_limits char_traits basic_ios basic_istream basic_ostream basic_iostream "
    "basic_stringstream basic_istringstream basic_ostringstream basic_stringbuf basic_fstream "
    "basic_ifstream basic_ofstream basic_filebuf basic_streambuf fpos lock_guard unique_lock "
    "shared_lock scoped_lock future shared_future promise packaged_task basic_regex "
    "match_results sub_match regex_iterator regex_token_iterator complex valarray ratio "
    "integer_sequence index_sequence make_index_sequence index_sequence_for "
    "make_integer_sequence integral_constant bool_constant enable_if enable_if_t conditional "
    "conditional_t decay decay_t remove_reference remove_reference_t remove_cv remove_cv_t "
    "remove_const remove_const_t remove_volatile remove_volatile_t remove_pointer "
    "remove_pointer_t add_pointer add_pointer_t add_const add_const_t add_volatile add_cv "
    "add_lvalue_reference add_lvalue_reference_t add_rvalue_reference add_rvalue_reference_t "
    "remove_cvref remove_cvref_t remove_extent remove_extent_t remove_all_extents "
    "remove_all_extents_t common_type common_type_t underlying_type underlying_type_t "
    "invoke_result invoke_result_t result_of result_of_t is_same is_integral is_floating_point "
    "is_arithmetic is_pointer is_reference is_const is_volatile is_void is_class is_enum "
    "is_union is_function is_array is_trivially_copyable is_trivial is_standard_layout is_pod "
    "is_empty is_polymorphic is_abstract is_final is_signed is_unsigned is_base_of "
    "is_convertible is_nothrow_convertible is_constructible is_default_constructible "
    "is_copy_constructible is_move_constructible is_assignable is_copy_assignable "
    "is_move_assignable is_destructible is_nothrow_constructible "
    "is_nothrow_default_constructible is_nothrow_move_constructible "
    "is_nothrow_copy_constructible is_nothrow_assignable is_nothrow_copy_assignable "
    "is_nothrow_move_assignable is_nothrow_destructible is_trivially_destructible "
    "is_trivially_constructible is_trivially_default_constructible "
    "is_trivially_copy_constructible is_trivially_move_constructible is_trivially_assignable "
    "is_trivially_copy_assignable is_trivially_move_assignable is_invocable is_invocable_r "
    "is_nothrow_invocable is_nothrow_invocable_r is_swappable is_swappable_with "
    "is_nothrow_swappable is_nothrow_swappable_with is_lvalue_reference is_rvalue_reference "
    "is_member_pointer is_member_function_pointer is_member_object_pointer is_scalar "
    "is_object is_compound is_fundamental is_null_pointer is_aggregate is_bounded_array "
    "is_unbounded_array is_scoped_enum has_virtual_destructor "
    "has_unique_object_representations extent rank alignment_of aligned_storage "
    "aligned_storage_t aligned_union make_signed make_unsigned make_signed_t make_unsigned_t "
    "conjunction disjunction negation void_t type_identity type_identity_t in_place_type_t "
    "in_place_index_t tuple_size tuple_element tuple_element_t variant_size "
    "variant_alternative variant_alternative_t uniform_int_distribution "
    "uniform_real_distribution normal_distribution bernoulli_distribution "
    "discrete_distribution poisson_distribution linear_congruential_engine "
    "mersenne_twister_engine ctype codecvt numpunct num_get num_put moneypunct collate "
    "coroutine_handle coroutine_traits basic_format_context basic_format_args formatter "
    "basic_format_string format_string polymorphic_allocator duration time_point "
    "scoped_allocator_adaptor owner_less pointer_traits unwrap_reference unwrap_ref_decay "
    "common_reference common_reference_t basic_common_reference iter_value_t iter_reference_t "
    "iter_difference_t iter_rvalue_reference_t incrementable_traits indirectly_readable_traits "
    "projected counted_iterator common_iterator basic_osyncstream basic_syncbuf "
    "basic_spanstream basic_stacktrace expected unexpected mdspan extents flat_map flat_set "
    "generator is_layout_compatible is_pointer_interconvertible_base_of "
    "is_corresponding_member is_implicit_lifetime remove_cvref";

constexpr const char* kStdTypes =
    "any atomic_flag string wstring u8string u16string u32string string_view wstring_view "
    "u8string_view u16string_view u32string_view monostate identity ios_base istream ostream "
    "iostream wistream wostream wiostream stringstream istringstream ostringstream stringbuf "
    "wstringstream fstream ifstream ofstream filebuf streambuf wstreambuf streamsize streamoff "
    "streampos mutex recursive_mutex timed_mutex recursive_timed_mutex shared_mutex "
    "shared_timed_mutex once_flag condition_variable condition_variable_any thread jthread "
    "stop_token stop_source stop_callback exception exception_ptr nested_exception bad_alloc "
    "bad_array_new_length bad_cast bad_typeid bad_function_call bad_optional_access "
    "bad_variant_access bad_any_cast bad_weak_ptr bad_exception logic_error domain_error "
    "invalid_argument length_error out_of_range runtime_error range_error overflow_error "
    "underflow_error system_error error_code error_condition error_category errc regex wregex "
    "smatch cmatch wsmatch ssub_match csub_match sregex_iterator cregex_iterator regex_error "
    "type_info type_index size_t ptrdiff_t nullptr_t max_align_t byte int8_t int16_t int32_t "
    "int64_t uint8_t uint16_t uint32_t uint64_t intptr_t uintptr_t intmax_t uintmax_t "
    "int_least8_t int_least16_t int_least32_t int_least64_t uint_least8_t uint_least16_t "
    "uint_least32_t uint_least64_t int_fast8_t int_fast16_t int_fast32_t int_fast64_t "
    "uint_fast8_t uint_fast16_t uint_fast32_t uint_fast64_t FILE fpos_t div_t ldiv_t lldiv_t "
    "tm time_t clock_t timespec va_list sig_atomic_t fenv_t fexcept_t mbstate_t wint_t wctype_t "
    "jmp_buf slice gslice slice_array gslice_array mask_array indirect_array true_type "
    "false_type in_place_t nullopt_t nothrow_t piecewise_construct_t allocator_arg_t "
    "default_random_engine mt19937 mt19937_64 random_device minstd_rand minstd_rand0 "
    "ranlux24 ranlux48 knuth_b seed_seq locale source_location strong_ordering weak_ordering "
    "partial_ordering compare_three_way suspend_always suspend_never noop_coroutine_handle "
    "format_context wformat_context format_args wformat_args format_error format_parse_context "
    "memory_resource nanoseconds microseconds milliseconds seconds minutes hours days weeks "
    "months years system_clock steady_clock high_resolution_clock file_clock utc_clock "
    "sys_days year_month_day path directory_entry directory_iterator "
    "recursive_directory_iterator file_status filesystem_error perms perm_options file_type "
    "space_info copy_options directory_options file_time_type float_t double_t align_val_t "
    "destroying_delete_t launch future_status future_errc memory_order cv_status "
    "float_denorm_style float_round_style endian chars_format from_chars_result "
    "to_chars_result input_iterator_tag output_iterator_tag forward_iterator_tag "
    "bidirectional_iterator_tag random_access_iterator_tag contiguous_iterator_tag "
    "default_sentinel_t unreachable_sentinel_t unexpect_t stacktrace_entry stacktrace "
    "float16_t float32_t float64_t float128_t bfloat16_t ios istreambuf_iterator "
    "adopt_lock_t defer_lock_t try_to_lock_t";

constexpr const char* kStdFunctions =
    "move forward swap exchange make_pair make_tuple tie forward_as_tuple get apply invoke "
    "invoke_r bind bind_front bind_back ref cref mem_fn not_fn make_unique "
    "make_unique_for_overwrite "
    "make_shared allocate_shared static_pointer_cast dynamic_pointer_cast const_pointer_cast "
    "reinterpret_pointer_cast addressof declval begin end cbegin cend rbegin rend crbegin "
    "crend size ssize empty data advance distance next prev back_inserter front_inserter "
    "inserter make_move_iterator make_reverse_iterator min max minmax clamp min_element "
    "max_element minmax_element sort stable_sort partial_sort partial_sort_copy nth_element "
    "find find_if find_if_not find_end find_first_of adjacent_find count count_if mismatch "
    "equal lexicographical_compare lexicographical_compare_three_way is_permutation "
    "next_permutation prev_permutation search search_n copy copy_n copy_if copy_backward "
    "move_backward fill fill_n transform generate generate_n remove remove_if remove_copy "
    "remove_copy_if replace replace_if replace_copy reverse reverse_copy rotate rotate_copy "
    "unique unique_copy shuffle sample partition stable_partition partition_copy "
    "partition_point is_partitioned lower_bound upper_bound equal_range binary_search merge "
    "inplace_merge includes set_union set_intersection set_difference set_symmetric_difference "
    "push_heap pop_heap make_heap sort_heap is_heap is_heap_until is_sorted is_sorted_until "
    "all_of any_of none_of for_each for_each_n accumulate reduce transform_reduce "
    "inner_product partial_sum exclusive_scan inclusive_scan adjacent_difference iota gcd lcm "
    "midpoint lerp abs labs llabs fabs div sqrt cbrt pow exp exp2 expm1 log log2 log10 log1p "
    "sin cos tan asin acos atan atan2 sinh cosh tanh floor ceil round lround llround trunc "
    "fmod remainder hypot isnan isinf isfinite isnormal signbit copysign fmin fmax fma frexp "
    "ldexp modf nearbyint rint strlen strcmp strncmp strcpy strncpy strcat strncat strchr "
    "strrchr strstr strtok strerror memcpy memmove memset memcmp memchr malloc calloc realloc "
    "free aligned_alloc abort exit atexit quick_exit at_quick_exit getenv system atoi atol atoll "
    "atof strtol strtoul strtoll strtoull strtod strtof strtold printf fprintf sprintf snprintf "
    "vprintf vfprintf vsnprintf scanf sscanf fscanf puts fputs fputc putc putchar getchar fgetc "
    "fgets fopen fclose fread fwrite fflush fseek ftell rewind perror getline to_string "
    "to_wstring stoi stol stoul stoll stoull stod stof stold from_chars to_chars format "
    "format_to format_to_n formatted_size vformat vformat_to make_format_args "
    "make_wformat_args visit holds_alternative get_if make_optional any_cast make_any "
    "terminate set_terminate get_terminate rethrow_exception current_exception "
    "make_exception_ptr throw_with_nested rethrow_if_nested uncaught_exceptions launder "
    "construct_at destroy_at destroy destroy_n uninitialized_copy uninitialized_copy_n "
    "uninitialized_fill uninitialized_fill_n uninitialized_move uninitialized_move_n "
    "uninitialized_default_construct uninitialized_value_construct align assume_aligned "
    "bit_cast popcount countl_zero countl_one countr_zero countr_one has_single_bit bit_ceil "
    "bit_floor bit_width rotl rotr byteswap to_underlying as_const cmp_equal cmp_not_equal "
    "cmp_less cmp_greater cmp_less_equal cmp_greater_equal in_range is_constant_evaluated "
    "unreachable async call_once lock try_lock sleep_for sleep_until yield get_id "
    "duration_cast time_point_cast floor ceil current_path exists is_directory "
    "is_regular_file is_symlink create_directory create_directories remove_all file_size "
    "last_write_time absolute canonical relative temp_directory_path tolower toupper isalpha "
    "isdigit isspace isalnum isupper islower isxdigit ispunct isprint iscntrl isgraph "
    "regex_match regex_search regex_replace setw setprecision setfill setbase "
    "resetiosflags setiosflags endl ends flush boolalpha noboolalpha hex dec oct fixed "
    "scientific hexfloat defaultfloat showbase noshowbase showpoint showpos skipws noskipws "
    "uppercase nouppercase left right internal ws quoted put_time get_time put_money "
    "get_money use_facet has_facet isspace make_error_code make_error_condition "
    "system_category generic_category iostream_category future_category to_address "
    "make_obj_using_allocator uninitialized_construct_using_allocator get_deleter "
    "atomic_load atomic_store atomic_exchange atomic_fetch_add atomic_thread_fence "
    "atomic_signal_fence kill_dependency notify_all_at_thread_exit "
    "get_temporary_buffer return_temporary_buffer qsort bsearch rand srand time clock "
    "difftime mktime localtime gmtime strftime asctime ctime signal raise setjmp longjmp "
    "setlocale localeconv nan nanf nanl";

constexpr const char* kStdObjects =
    "cout cin cerr clog wcout wcin wcerr wclog nullopt in_place ignore nothrow "
    "piecewise_construct allocator_arg memory_order_relaxed memory_order_consume "
    "memory_order_acquire memory_order_release memory_order_acq_rel memory_order_seq_cst "
    "adopt_lock defer_lock try_to_lock unexpect default_sentinel unreachable_sentinel "
    "dynamic_extent npos "
    // concepts: neither types nor functions
    "same_as derived_from convertible_to common_reference_with common_with integral "
    "signed_integral unsigned_integral floating_point assignable_from swappable "
    "swappable_with destructible constructible_from default_initializable "
    "move_constructible copy_constructible equality_comparable equality_comparable_with "
    "totally_ordered totally_ordered_with movable copyable semiregular regular invocable "
    "regular_invocable predicate relation equivalence_relation strict_weak_order "
    "input_iterator output_iterator forward_iterator bidirectional_iterator "
    "random_access_iterator contiguous_iterator sentinel_for sized_sentinel_for "
    "indirectly_readable indirectly_writable weakly_incrementable incrementable "
    "input_or_output_iterator three_way_comparable three_way_comparable_with";

constexpr const char* kGlobalTypes =
    "size_t ssize_t ptrdiff_t max_align_t int8_t int16_t int32_t int64_t uint8_t uint16_t "
    "uint32_t uint64_t intptr_t uintptr_t intmax_t uintmax_t int_least8_t int_least16_t "
    "int_least32_t int_least64_t uint_least8_t uint_least16_t uint_least32_t uint_least64_t "
    "int_fast8_t int_fast16_t int_fast32_t int_fast64_t uint_fast8_t uint_fast16_t "
    "uint_fast32_t uint_fast64_t FILE fpos_t div_t ldiv_t lldiv_t time_t clock_t va_list "
    "sig_atomic_t fenv_t fexcept_t mbstate_t wint_t wctype_t jmp_buf off_t pid_t";

constexpr const char* kGlobalMacros =
    "NULL EOF BUFSIZ FILENAME_MAX FOPEN_MAX SEEK_SET SEEK_CUR SEEK_END stdin stdout stderr "
    "EXIT_SUCCESS EXIT_FAILURE RAND_MAX MB_CUR_MAX assert errno offsetof va_start va_end "
    "va_arg va_copy setjmp CHAR_BIT SCHAR_MIN SCHAR_MAX UCHAR_MAX CHAR_MIN CHAR_MAX SHRT_MIN "
    "SHRT_MAX USHRT_MAX INT_MIN INT_MAX UINT_MAX LONG_MIN LONG_MAX ULONG_MAX LLONG_MIN "
    "LLONG_MAX ULLONG_MAX SIZE_MAX PTRDIFF_MIN PTRDIFF_MAX INT8_MIN INT8_MAX INT16_MIN "
    "INT16_MAX INT32_MIN INT32_MAX INT64_MIN INT64_MAX UINT8_MAX UINT16_MAX UINT32_MAX "
    "UINT64_MAX INTMAX_MAX UINTMAX_MAX INTPTR_MAX UINTPTR_MAX INT8_C INT16_C INT32_C INT64_C "
    "UINT8_C UINT16_C UINT32_C UINT64_C INTMAX_C UINTMAX_C FLT_MAX FLT_MIN FLT_EPSILON "
    "DBL_MAX DBL_MIN DBL_EPSILON LDBL_MAX HUGE_VAL HUGE_VALF INFINITY NAN FP_NAN FP_INFINITE "
    "FP_ZERO FP_NORMAL FP_SUBNORMAL EDOM ERANGE EILSEQ EINVAL ENOMEM EAGAIN SIGINT SIGTERM "
    "SIGABRT SIGSEGV SIG_DFL SIG_IGN CLOCKS_PER_SEC LC_ALL LC_CTYPE LC_NUMERIC WEOF WCHAR_MIN "
    "WCHAR_MAX __FILE__ __LINE__ __DATE__ __TIME__ __COUNTER__ __cplusplus __STDC__ "
    "__STDC_VERSION__ __STDC_HOSTED__ __GNUC__ __GNUC_MINOR__ __GNUC_PATCHLEVEL__ "
    "__GNUG__ __clang__ __clang_major__ __clang_minor__ __llvm__ __INTEL_COMPILER _MSC_VER "
    "_MSC_FULL_VER _WIN32 _WIN64 __linux__ __linux __unix__ __APPLE__ __MACH__ __FreeBSD__ "
    "__ANDROID__ __MINGW32__ __CYGWIN__ __x86_64__ __i386__ __aarch64__ __arm__ __powerpc__ "
    "__SIZEOF_POINTER__ __SIZEOF_LONG__ __SIZEOF_INT128__ __BYTE_ORDER__ "
    "__ORDER_LITTLE_ENDIAN__ __ORDER_BIG_ENDIAN__ __CHAR_BIT__ __OPTIMIZE__ __EXCEPTIONS "
    "__cpp_exceptions __cpp_rtti __GXX_RTTI __cpp_concepts __cpp_lib_concepts "
    "__cpp_constexpr __cpp_if_constexpr __cpp_inline_variables __cpp_char8_t "
    "__cpp_impl_coroutine __cpp_lib_ranges __cpp_consteval __cpp_aligned_new "
    "__cpp_sized_deallocation __cpp_variadic_templates __cpp_deduction_guides "
    "__cpp_nontype_template_args __cpp_fold_expressions __cpp_structured_bindings "
    "__cpp_lib_three_way_comparison __cpp_impl_three_way_comparison __cpp_lib_format "
    "__cpp_lib_char8_t __cpp_lib_bit_cast __cpp_lib_is_constant_evaluated "
    "__cpp_noexcept_function_type __cpp_generic_lambdas __cpp_return_type_deduction "
    "__cpp_rvalue_references __cpp_threadsafe_static_init __cpp_unicode_characters "
    "__cpp_user_defined_literals __cpp_decltype_auto __cpp_init_captures "
    "__cpp_digit_separators __cpp_binary_literals __cpp_hex_float __cpp_nsdmi "
    "__cpp_range_based_for __cpp_static_assert __cpp_lambdas __cpp_attributes "
    "__cpp_alias_templates __cpp_decltype __cpp_delegating_constructors "
    "__cpp_inheriting_constructors __cpp_raw_strings __cpp_ref_qualifiers "
    "__cpp_unicode_literals __cpp_variable_templates __cpp_aggregate_nsdmi "
    "__cpp_capture_star_this __cpp_enumerator_attributes __cpp_namespace_attributes "
    "__cpp_template_auto __cpp_guaranteed_copy_elision __cpp_conditional_explicit "
    "__cpp_designated_initializers __cpp_using_enum __cpp_modules __INT_MAX__ __LONG_MAX__ "
    "__SIZE_MAX__ __SIZE_TYPE__ __PTRDIFF_TYPE__ __WCHAR_TYPE__ __INTMAX_TYPE__ "
    "__UINTPTR_TYPE__ __INTPTR_TYPE__ __CHAR16_TYPE__ __CHAR32_TYPE__ __STDCPP_THREADS__ "
    "__STDCPP_DEFAULT_NEW_ALIGNMENT__ __BIGGEST_ALIGNMENT__ __SSE2__ __AVX__ __AVX2__ __ARM_NEON "
    "__BASE_FILE__ __FILE_NAME__ __INCLUDE_LEVEL__ __TIMESTAMP__ __VERSION__ __PIC__ __pic__ "
    "__NO_INLINE__ __FAST_MATH__ __FLT_MAX__ __DBL_MAX__ __STRICT_ANSI__";

void AddAll(NameTable& table, const char* list, uint16_t bits) {
    const char* p = list;
    while (*p != '\0') {
        while (*p == ' ') {
            ++p;
        }
        const char* start = p;
        while (*p != '\0' && *p != ' ') {
            ++p;
        }
        if (p != start) {
            table.Add(std::string_view(start, std::size_t(p - start)), bits);
        }
    }
}

} // namespace

const NameTable& StdNames() noexcept {
    static const NameTable table = [] {
        NameTable t(4096, 64 * 1024);
        AddAll(t, kStdNamespaces, kNamespace);
        AddAll(t, kStdTemplates, kType | kTemplate);
        AddAll(t, kStdTypes, kType);
        AddAll(t, kStdFunctions, kFunction);
        AddAll(t, kStdObjects, kVariable);
        return t;
    }();
    return table;
}

const NameTable& GlobalNames() noexcept {
    static const NameTable table = [] {
        NameTable t(1024, 16 * 1024);
        AddAll(t, kGlobalTypes, kType);
        AddAll(t, kGlobalMacros, kMacro | kMacroAlways);
        return t;
    }();
    return table;
}

} // namespace names
