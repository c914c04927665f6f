typedef void (*fn)(int);
using V = std::map<K, std::vector<T>>;
class EXPORT W final {};
#ifdef X
#undef X
#endif
