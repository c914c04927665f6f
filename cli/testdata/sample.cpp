// Sample shared by the dialog and the command-line tests.
#include <vector>

template <class T>
int count(const std::vector<T>& v, char c = '"')
{
	int n = 0; /* tabs, quotes
	             and comments */
	for (unsigned i = 0; i < v.size(); ++i)
		if (v[i] == c && !(n & 1)) n++;
	const char* path = "C:\\"; // the string ends here
	return sizeof(T) > 1 ? n : -n;
}
