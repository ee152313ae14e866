// The expression evaluator: a recursive descent that computes while it parses, straight from the
// token stream. With 'executing' clear it only parses and checks (the checking pass of function
// bodies); with it set it loads, stores and calls.
#pragma once
#include "eval/operations.h"
#include "eval/value.h"

// Evaluates an expression starting at token 'first' (0: read it) into 'v', for operators above
// precedence 'min'. Returns 1, or 0 after a syntax error; the token that ended it stays current.
int expression(int first, Value *v, int min);
// As expression(), also giving the place of an expression that is a single operand.
int expression_place(int first, Value *v, Place *place);

// As expression() from the next token, for a value in a braced list, which a '}' also ends.
int list_value_expression(Value *v);

// Reports 200 "Bad syntax" with the display name of 'code'.
void syntax_error(int code);
// Reports 200 with the current token unless it is 'code'.
void expect_token(int code);
