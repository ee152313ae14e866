/* primes.c: counts the primes below a limit with a sieve, and shows a few values.
   Run: oxel examples/primes.c   (the values of the top-level lines go to the trace output) */

#define LIMIT 1000

char composite[LIMIT];

int count_primes(limit)
int limit;
{
    int i;
    int j;
    int count;
    count = 0;
    for (i = 2; i < limit; i++) {
        if (!composite[i]) {
            count++;
            for (j = i + i; j < limit; j = j + i)
                composite[j] = 1;
        }
    }
    return count;
}

int square(n)
int n;
{
    return n * n;
}

count_primes(LIMIT)
square(12)
sizeof(composite)

void main()
{
}
