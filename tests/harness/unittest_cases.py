"""Lists the test cases of a Python unittest module without importing it (a test module may need the
environment ctest gives it, or packages only the test machine has).

A case is Class.method for each method whose name begins with "test", written in the module, under every
class of the module that has it, directly or through a base class written in the same module, provided
the class derives from something outside the module (unittest.TestCase or a shared test base). Cases that
a class inherits from another module's class belong to that module.

usage: unittest_cases.py MODULE.py   (prints the cases, one a line, sorted)
"""
from __future__ import annotations

import ast
import sys
from pathlib import Path

PREFIX = "test"  # unittest's default testMethodPrefix


def cases(source: str) -> list[str]:
    classes = {node.name: node for node in ast.parse(source).body if isinstance(node, ast.ClassDef)}

    def in_module_bases(node: ast.ClassDef) -> list[ast.ClassDef]:
        return [classes[base.id] for base in node.bases if isinstance(base, ast.Name) and base.id in classes]

    def methods(node: ast.ClassDef, seen: frozenset = frozenset()) -> set[str]:
        found = {item.name for item in node.body
                 if isinstance(item, (ast.FunctionDef, ast.AsyncFunctionDef)) and item.name.startswith(PREFIX)}
        for base in in_module_bases(node):
            if base.name not in seen:
                found |= methods(base, seen | {node.name})
        return found

    def is_test_class(node: ast.ClassDef, seen: frozenset = frozenset()) -> bool:
        if len(in_module_bases(node)) < len(node.bases):
            return True
        return any(is_test_class(base, seen | {node.name}) for base in in_module_bases(node)
                   if base.name not in seen)

    return sorted(f"{name}.{method}" for name, node in classes.items() if is_test_class(node)
                  for method in methods(node))


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        source = Path(sys.argv[1]).read_text(encoding="utf-8")
        found = cases(source)
    except (OSError, SyntaxError, UnicodeDecodeError) as error:
        print(f"unittest_cases: {sys.argv[1]}: {error}", file=sys.stderr)
        return 1
    print("\n".join(found))
    return 0


if __name__ == "__main__":
    sys.exit(main())
